#pragma once

// Behaviour that every dispatch implementation must show. A harness type provides:
//   static std::unique_ptr<Dispatcher> makeLocal();   a dispatcher for the calling thread
//   static bool pump(Dispatcher&, std::function<bool()> condition, milliseconds timeout);
//                                                     runs that thread's loop until condition

#include "platform/Dispatcher.h"
#include "platform/MessageRegistry.h"
#include "platform/MessageTarget.h"
#include "platform/Messaging.h"
#include "platform/ServingWait.h"
#include "platform/WorkerThread.h"
#include "platform/tests/BodyThread.h"
#include "testsupport/WaitFor.h"
#include "testsupport/WindowThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zeb::platform::testing {

using namespace std::chrono_literals;

// A target whose reaction to messages and timers is a function.
class FunctionTarget : public MessageTarget
{
public:
    using Handler = std::function<LResult(MessageId, WParam, LParam)>;
    using TimerHandler = std::function<void(TimerId)>;

    explicit FunctionTarget(Handler handler, TimerHandler timer = {})
        : m_handler(std::move(handler))
        , m_timer(std::move(timer))
    {
    }
    LResult onMessage(MessageId message, WParam wParam, LParam lParam) override
    {
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }
    void onTimer(TimerId id) override
    {
        if (m_timer)
            m_timer(id);
    }

private:
    Handler m_handler;
    TimerHandler m_timer;
};

// A window thread running a loop of the harness's kind.
template <typename Harness>
class LoopThread : public testsupport::WindowThread
{
public:
    LoopThread()
        : WindowThread({}, [](const std::function<void()>& started, const std::function<bool()>& quit) {
            auto dispatcher = Harness::makeLocal();
            started();
            Harness::pump(*dispatcher, quit, 600s);
        })
    {
    }
};

template <typename Harness>
class DispatchBehaviour : public ::testing::Test
{
protected:
    const MessageId kPing = MessageRegistry::registerMessage("TEST_PING");
};

TYPED_TEST_SUITE_P(DispatchBehaviour);

TYPED_TEST_P(DispatchBehaviour, SendsAndPostsToGoneTargetsAreHarmless)
{
    LoopThread<TypeParam> loop;
    std::atomic<int> calls{0};
    Handle handle = kNoHandle;
    loop.call([&] {
        FunctionTarget target([&](MessageId, WParam, LParam) { return ++calls; });
        handle = target.handle();
    });
    EXPECT_FALSE(isAlive(handle));
    EXPECT_EQ(send(handle, this->kPing), 0);
    EXPECT_FALSE(post(handle, this->kPing));
    EXPECT_FALSE(startTimer(handle, 1, 10ms));
    EXPECT_EQ(send(0xFFFFFFFFull, this->kPing), 0);

    // A target whose whole thread has ended.
    auto* survivor = loop.template make<FunctionTarget>([&](MessageId, WParam, LParam) { return ++calls; });
    const Handle orphan = survivor->handle();
    loop.stop();
    EXPECT_EQ(send(orphan, this->kPing), 0);
    EXPECT_EQ(calls.load(), 0);
}

TYPED_TEST_P(DispatchBehaviour, JoiningAWorkerBlockedInASendToTheJoiningThreadFinishes)
{
    auto dispatcher = TypeParam::makeLocal();
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id handlerThread;
    FunctionTarget target([&](MessageId, WParam, LParam) {
        handlerThread = std::this_thread::get_id();
        return LResult{7};
    });

    std::atomic<LResult> answer{0};
    BodyThread sender([&](BodyThread&) {
        std::this_thread::sleep_for(20ms); // let this thread reach its wait first
        answer = send(target.handle(), this->kPing);
        return 0;
    });
    ASSERT_EQ(sender.start(), 0);
    EXPECT_TRUE(sender.terminate(5s)) << "the join deadlocked with the worker's send";
    EXPECT_EQ(answer.load(), 7);
    EXPECT_EQ(handlerThread, self);
}

TYPED_TEST_P(DispatchBehaviour, TwoThreadsSendingToEachOtherNeverDeadlock)
{
    auto dispatcher = TypeParam::makeLocal();
    LoopThread<TypeParam> loop;
    std::atomic<int> nested{0};
    FunctionTarget local([&](MessageId, WParam, LParam) { return ++nested; });
    const Handle localHandle = local.handle();
    // The remote handler sends back to this thread while this thread waits for it.
    auto* remote = loop.template make<FunctionTarget>(
        [localHandle](MessageId message, WParam, LParam) { return send(localHandle, message) + 100; });
    for (int i = 1; i <= 50; ++i)
        ASSERT_EQ(send(remote->handle(), this->kPing), 100 + i);
}

TYPED_TEST_P(DispatchBehaviour, PostsArriveInOrderOnTheTargetThread)
{
    LoopThread<TypeParam> loop;
    std::mutex mutex;
    std::vector<WParam> seen;
    std::vector<std::thread::id> threads;
    auto* target = loop.template make<FunctionTarget>([&](MessageId, WParam wParam, LParam) {
        const std::lock_guard lock(mutex);
        seen.push_back(wParam);
        threads.push_back(std::this_thread::get_id());
        return LResult{0};
    });
    for (WParam i = 0; i < 100; ++i)
        ASSERT_TRUE(post(target->handle(), this->kPing, i));
    // A send is served after earlier posts are queued; the loop has drained them by then.
    ServingWait::until(
        [&] {
            const std::lock_guard lock(mutex);
            return seen.size() == 100;
        },
        5s);
    const std::lock_guard lock(mutex);
    ASSERT_EQ(seen.size(), 100u);
    for (WParam i = 0; i < 100; ++i) {
        EXPECT_EQ(seen[i], i);
        EXPECT_EQ(threads[i], loop.id());
    }
}

TYPED_TEST_P(DispatchBehaviour, TimersFireOnTheTargetThreadWithTheirIdentifiers)
{
    auto dispatcher = TypeParam::makeLocal();
    const std::thread::id self = std::this_thread::get_id();
    std::vector<TimerId> fired;
    bool wrongThread = false;
    FunctionTarget target({}, [&](TimerId id) {
        fired.push_back(id);
        wrongThread |= std::this_thread::get_id() != self;
    });
    const auto count = [&](TimerId id) { return std::count(fired.begin(), fired.end(), id); };
    // A send to a target of the calling thread runs directly: no loop runs here yet.
    FunctionTarget direct([&](MessageId, WParam, LParam) { return LResult{3}; });
    EXPECT_EQ(send(direct.handle(), this->kPing), 3);

    ASSERT_TRUE(startTimer(target.handle(), 7, 10ms));
    ASSERT_TRUE(startTimer(target.handle(), 9, 25ms));
    EXPECT_TRUE(TypeParam::pump(
        *dispatcher, [&] { return count(7) >= 3 && count(9) >= 2; }, 5s));
    EXPECT_FALSE(wrongThread);

    // Restarting with a long period postpones the next tick; stopping ends them.
    ASSERT_TRUE(startTimer(target.handle(), 7, 10min));
    ASSERT_TRUE(stopTimer(target.handle(), 9));
    EXPECT_FALSE(stopTimer(target.handle(), 9));
    fired.clear();
    TypeParam::pump(
        *dispatcher, [] { return false; }, 100ms);
    EXPECT_TRUE(fired.empty());

    // Started from another thread, still delivered here.
    std::thread([&] { startTimer(target.handle(), 11, 5ms); }).join();
    EXPECT_TRUE(TypeParam::pump(
        *dispatcher, [&] { return count(11) >= 1; }, 5s));
    EXPECT_FALSE(wrongThread);
}

// Each sender gets its handler's own answer, so it was held until the handler returned; the
// handlers run one at a time on the target's thread (ThreadSanitizer sees the plain counter).
TYPED_TEST_P(DispatchBehaviour, SendsFromManyThreadsRunOnTheTargetThreadAndWaitForTheirAnswer)
{
    LoopThread<TypeParam> loop;
    int total = 0; // touched only on the loop thread
    std::atomic<bool> elsewhere{false};
    auto* target = loop.template make<FunctionTarget>([&](MessageId, WParam wParam, LParam lParam) {
        elsewhere = elsewhere || std::this_thread::get_id() != loop.id();
        total += static_cast<int>(wParam);
        return LResult{total} + lParam;
    });
    std::vector<std::thread> senders;
    for (int s = 0; s < 4; ++s) {
        senders.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                send(target->handle(), this->kPing, 1);
        });
    }
    for (auto& sender : senders)
        sender.join();
    EXPECT_EQ(send(target->handle(), this->kPing, 0, 40), 2040);
    EXPECT_FALSE(elsewhere.load());
}

TYPED_TEST_P(DispatchBehaviour, WaitingSendsAreAnsweredWhenTheLoopEnds)
{
    auto loop = std::make_unique<LoopThread<TypeParam>>();
    std::atomic<bool> release{false};
    std::atomic<bool> blocking{false};
    auto* target = loop->template make<FunctionTarget>([&](MessageId, WParam wParam, LParam) {
        if (wParam == 1) {
            blocking = true;
            EXPECT_TRUE(testsupport::waitFor([&] { return release.load(); }, "the test's release"));
        }
        return LResult{5};
    });
    const Handle handle = target->handle();
    std::thread first([&] { EXPECT_EQ(send(handle, this->kPing, 1), 5); });
    EXPECT_TRUE(testsupport::waitFor([&] { return blocking.load(); }, "the first send's handler"));
    std::atomic<LResult> second{-1};
    std::thread queued([&] { second = send(handle, this->kPing, 2); });
    std::this_thread::sleep_for(20ms);
    // Ending the loop while the second send waits must answer it, not strand it.
    std::thread stopper([&] { loop.reset(); });
    std::this_thread::sleep_for(20ms);
    release = true;
    first.join();
    queued.join();
    stopper.join();
    EXPECT_TRUE(second.load() == 5 || second.load() == 0);
}

REGISTER_TYPED_TEST_SUITE_P(DispatchBehaviour, SendsFromManyThreadsRunOnTheTargetThreadAndWaitForTheirAnswer,
                            SendsAndPostsToGoneTargetsAreHarmless,
                            JoiningAWorkerBlockedInASendToTheJoiningThreadFinishes,
                            TwoThreadsSendingToEachOtherNeverDeadlock, PostsArriveInOrderOnTheTargetThread,
                            TimersFireOnTheTargetThreadWithTheirIdentifiers, WaitingSendsAreAnsweredWhenTheLoopEnds);

} // namespace zeb::platform::testing
