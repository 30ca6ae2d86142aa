#include "autotest/core/RunController.h"

#include "autotest/core/OutputQueue.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using zeb::autotest::OutputQueue;
using zeb::autotest::RunController;
using Result = zeb::autotest::RunController::Result;
using zeb::script::vm::StringSink;
using zeb::testsupport::waitFor;

namespace {

TEST(RunController, ReportsTheSyntaxErrorsPlaceAndTheListingOfMain)
{
    auto sink = std::make_shared<StringSink>();
    RunController controller(sink);
    const RunController::Compiled& broken = controller.prepare("main {\n  1 + ;\n}\n");
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.errorText.rfind("Syntax error at line #2:", 0), 0u) << broken.errorText;
    EXPECT_EQ(broken.errorPosition.line, 2u);
    EXPECT_GT(broken.errorPosition.offset, 7u);
    EXPECT_EQ(controller.runHere(), Result::NoMain);

    const RunController::Compiled& first = controller.prepare("x { 1; }");
    EXPECT_TRUE(first.ok);
    EXPECT_FALSE(first.hasMain);
    EXPECT_FALSE(controller.start([](Result) {}));

    const RunController::Compiled& good = controller.prepare("main { \"hi\" printLine; }");
    ASSERT_TRUE(good.ok);
    EXPECT_TRUE(good.hasMain);
    EXPECT_NE(good.mainListing.find("0000 "), std::string::npos) << good.mainListing;
    EXPECT_EQ(controller.runHere(), Result::Finished);
    EXPECT_EQ(sink->text(), "hi\r\n");
}

TEST(RunController, StopEndsALoopOnItsThreadWithinASecond)
{
    auto sink = std::make_shared<StringSink>();
    RunController controller(sink);
    ASSERT_TRUE(controller.prepare("main { while (1) ; }").hasMain);
    std::atomic<bool> done{false};
    std::atomic<Result> result{Result::Finished};
    ASSERT_TRUE(controller.start([&](Result ending) {
        result = ending;
        done = true;
    }));
    EXPECT_TRUE(controller.running());
    const auto asked = std::chrono::steady_clock::now();
    controller.stop();
    ASSERT_TRUE(waitFor([&] { return done.load(); }, "the end of the stopped run", std::chrono::seconds(1)));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
    EXPECT_EQ(result.load(), Result::Stopped);
    EXPECT_TRUE(controller.stopAndWait(std::chrono::seconds(1)));
    EXPECT_FALSE(controller.running());
}

TEST(RunController, DestroyedWhileRunningStopsTheScriptFirst)
{
    auto sink = std::make_shared<OutputQueue>();
    std::atomic<bool> done{false};
    {
        RunController controller(sink);
        ASSERT_TRUE(controller.prepare("main { while (1) { 1 print; } }").hasMain);
        ASSERT_TRUE(controller.start([&](Result) { done = true; }));
        ASSERT_TRUE(waitFor([&] { return sink->pending() > 0; }, "output"));
    }
    EXPECT_TRUE(done.load());
    EXPECT_EQ(sink.use_count(), 1);
}

} // namespace
