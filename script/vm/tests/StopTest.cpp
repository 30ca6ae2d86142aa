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

TEST(Stop, StopEndsAProgramTheScriptWaitsFor)
{
    Machine machine;
    Compiler compiler;
    ASSERT_TRUE(compiler.compile("main { System run: \"sleep\" with: \"30\"; while (1) ; }"));
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    std::thread stopper([&run] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        run.stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(run.runMain({std::chrono::seconds(30), 0}), Run::Result::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    stopper.join();
}

} // namespace
