#include "autotest/core/WindowHost.h"

#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using zeb::autotest::WindowHost;
using zeb::testsupport::waitFor;

namespace {

TEST(WindowHost, AScriptThreadWaitsForTheWindowsAnswer)
{
    std::atomic<int> wakes{0};
    std::int64_t doneWindow = 0;
    WindowHost host([&wakes] { ++wakes; }, [&doneWindow](std::int64_t window) { doneWindow = window; });
    std::atomic<int> answer{-1};
    std::thread script([&] { answer = host.question("Continue?") ? 1 : 0; });
    std::optional<WindowHost::Request> request;
    ASSERT_TRUE(waitFor([&] { return (request = host.next()).has_value(); }, "the question"));
    EXPECT_EQ(request->kind, WindowHost::Kind::Question);
    EXPECT_EQ(request->text, "Continue?");
    EXPECT_EQ(answer.load(), -1);
    host.answer(request->id, true);
    script.join();
    EXPECT_EQ(answer.load(), 1);
    EXPECT_EQ(wakes.load(), 1);
    host.threadDone(42, {});
    EXPECT_EQ(doneWindow, 42);
}

TEST(WindowHost, CancelAnswersNoToWaitingAndLaterRequestsUntilReopened)
{
    WindowHost host({}, {});
    std::atomic<int> answer{-1};
    std::thread script([&] { answer = host.question("Shown while Stop is pressed") ? 1 : 0; });
    std::optional<WindowHost::Request> request;
    ASSERT_TRUE(waitFor([&] { return (request = host.next()).has_value(); }, "the question"));
    host.cancel();
    script.join();
    EXPECT_EQ(answer.load(), 0);
    // The dialog that was open when the run stopped answers too late: nothing happens.
    host.answer(request->id, true);
    EXPECT_FALSE(host.question("after cancel"));
    EXPECT_FALSE(host.next().has_value());
    host.reopen();
    std::thread again([&] { host.alert("shown"); });
    ASSERT_TRUE(waitFor([&] { return (request = host.next()).has_value(); }, "the alert"));
    EXPECT_EQ(request->kind, WindowHost::Kind::Alert);
    host.answer(request->id, false);
    again.join();
}

TEST(WindowHost, DestroyedWhileAThreadWaitsItAnswersNoAndLetsItLeaveFirst)
{
    auto host = std::make_unique<WindowHost>(nullptr, nullptr);
    WindowHost* asked = host.get();
    std::atomic<int> answer{-1};
    std::thread handler([&] { answer = asked->question("Asked from a stream's thread") ? 1 : 0; });
    ASSERT_TRUE(waitFor([&] { return asked->next().has_value(); }, "the question"));
    host.reset();
    handler.join();
    EXPECT_EQ(answer.load(), 0);
}

TEST(WindowHost, ButtonChangesQueueInOrderBoundedButNeverLosingADestruction)
{
    int wakes = 0;
    WindowHost host({}, {}, [&wakes] { ++wakes; });
    host.createButton(1);
    host.hideButton(1);
    host.destroyButton(1);
    EXPECT_EQ(wakes, 1);
    const auto taken = host.takeButtonRequests();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].change, WindowHost::ButtonChange::Create);
    EXPECT_EQ(taken[2].change, WindowHost::ButtonChange::Destroy);
    for (std::uint32_t id = 0; id < 2 * WindowHost::kMaxButtonRequests; ++id)
        host.createButton(id);
    host.destroyButton(3);
    const auto flood = host.takeButtonRequests();
    EXPECT_EQ(flood.size(), WindowHost::kMaxButtonRequests + 1);
    EXPECT_EQ(flood.back().change, WindowHost::ButtonChange::Destroy);
}

} // namespace
