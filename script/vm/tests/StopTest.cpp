#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace zeb::script;
using namespace zeb::script::vm;
using namespace std::chrono_literals;

namespace {

struct Stopped
{
    Run::Result result;
    std::chrono::steady_clock::duration took;
    std::string output;
};

// Runs a script's main and stops it from another thread after a while. The time limit is only
// a backstop: Stop ends the run long before.
Stopped runAndStop(const char* text, std::chrono::milliseconds after)
{
    Machine machine;
    Compiler compiler;
    EXPECT_TRUE(compiler.compile(text));
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    std::thread stopper([&run, after] {
        std::this_thread::sleep_for(after);
        run.stop();
    });
    const auto started = std::chrono::steady_clock::now();
    const Run::Result result = run.runMain({30s, 0});
    const auto took = std::chrono::steady_clock::now() - started;
    stopper.join();
    return {result, took, sink.text()};
}

TEST(Stop, StopFromAnotherThreadEndsTheRun)
{
    EXPECT_EQ(runAndStop("main { while (1) ; }", 20ms).result, Run::Result::Stopped);
}

TEST(Stop, StopEndsAProgramTheScriptWaitsFor)
{
    // Nothing after the wait runs: the thread ends where the wait gave up.
    const Stopped stopped = runAndStop("main { System run: \"sleep\" with: \"30\"; \"after\" print; while (1) ; }",
                                       100ms);
    EXPECT_EQ(stopped.result, Run::Result::Stopped);
    EXPECT_LT(stopped.took, 10s);
    EXPECT_EQ(stopped.output, "");
}

TEST(Stop, StopEndsTheSleepsOfEveryThreadOfTheRun)
{
    const Stopped stopped = runAndStop("nap { 100 sleep; }\n"
                                       "main { (thread self nap) start; (thread self nap) start; 100 sleep; }",
                                       50ms);
    EXPECT_EQ(stopped.result, Run::Result::Stopped);
    // Well before the bounded wait for threads would give up on them.
    EXPECT_LT(stopped.took, RunThreads::kStopWait);
}

} // namespace
