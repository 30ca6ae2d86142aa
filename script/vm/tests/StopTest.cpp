#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace zeb::script;
using namespace zeb::script::vm;

namespace {

TEST(Stop, StopFromAnotherThreadEndsTheRun)
{
    Machine machine;
    Compiler compiler;
    ASSERT_TRUE(compiler.compile("main { while (1) ; }"));
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    std::thread stopper([&run] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        run.stop();
    });
    // The time limit is only a backstop: Stop ends the loop long before.
    EXPECT_EQ(run.runMain({std::chrono::seconds(30), 0}), Run::Result::Stopped);
    stopper.join();
}

TEST(Stop, StopEndsTheSleepsOfEveryThreadOfTheRun)
{
    Machine machine;
    Compiler compiler;
    ASSERT_TRUE(compiler.compile("nap { 100 sleep; }\n"
                                 "main { (thread self nap) start; (thread self nap) start; 100 sleep; }"));
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    std::thread stopper([&run] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        run.stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(run.runMain({std::chrono::seconds(30), 0}), Run::Result::Stopped);
    // Well before the bounded wait for threads would give up on them.
    EXPECT_LT(std::chrono::steady_clock::now() - started, RunThreads::kStopWait);
    stopper.join();
}

} // namespace
