#include "platform/WorkerThread.h"

#include "platform/DetachedWork.h"

#include "platform/tests/BodyThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace zeb::platform {
namespace {

using namespace std::chrono_literals;
using testing::BodyThread;

// Sleeps on a condition variable until stopped: the shape of every transport thread.
class Sleeper : public WorkerThread
{
public:
    Sleeper()
        : WorkerThread("sleeper", 0.5)
    {
    }
    ~Sleeper() override { terminate(); }

    std::atomic<int> interrupts{0};

protected:
    int run() override
    {
        while (checkpoint()) {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, 10s, [this] { return stopRequested(); });
        }
        return 17;
    }
    void interrupt() override
    {
        ++interrupts;
        const std::lock_guard lock(m_mutex);
        m_wake.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

TEST(WorkerThread, StartsStopsCooperativelyAndRestarts)
{
    Sleeper thread;
    EXPECT_TRUE(thread.isNotRunning());
    ASSERT_EQ(thread.start(), WorkerThread::kStatusOk);
    EXPECT_TRUE(thread.isRunning());
    EXPECT_EQ(thread.start(), WorkerThread::kStatusOk) << "a second start while running does nothing";

    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(thread.terminate(2s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s) << "interrupt() should wake the body at once";
    EXPECT_TRUE(thread.isNotRunning());
    EXPECT_EQ(thread.exitCode(), 17);
    EXPECT_EQ(thread.interrupts.load(), 1);

    ASSERT_EQ(thread.start(), WorkerThread::kStatusOk);
    EXPECT_TRUE(thread.terminate(2s));
    EXPECT_EQ(thread.interrupts.load(), 2);
}

TEST(WorkerThread, SuspendPausesAtTheNextCheckpointAndResumeContinues)
{
    std::atomic<int> count{0};
    BodyThread counter([&](BodyThread& self) {
        while (self.checkpoint()) {
            ++count;
            std::this_thread::sleep_for(1ms);
        }
        return 0;
    });
    ASSERT_EQ(counter.start(), 0);
    while (count < 3)
        std::this_thread::sleep_for(1ms);
    counter.suspend();
    EXPECT_FALSE(counter.isRunning());
    std::this_thread::sleep_for(20ms);
    const int paused = count;
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(count - paused, 1) << "the body kept going while suspended";
    counter.resume();
    EXPECT_TRUE(counter.isRunning());
    while (count < paused + 3)
        std::this_thread::sleep_for(1ms);
    // A suspended thread must still be stoppable.
    counter.suspend();
    EXPECT_TRUE(counter.terminate(2s));
}

TEST(WorkerThread, ABodyThatIgnoresTheStopRequestMakesTerminateGiveUpInTime)
{
    std::atomic<bool> release{false};
    BodyThread stubborn([&](BodyThread&) {
        while (!release)
            std::this_thread::sleep_for(1ms);
        return 0;
    });
    ASSERT_EQ(stubborn.start(), 0);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(stubborn.terminate(50ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
    EXPECT_TRUE(stubborn.isRunning() || !stubborn.isNotRunning());
    release = true;
    EXPECT_TRUE(stubborn.terminate(2s));
}

TEST(WorkerThread, TerminateFromTheThreadItselfOnlyAsks)
{
    std::atomic<bool> answered{false};
    BodyThread thread([&](BodyThread& self) {
        answered = self.terminate(1s);
        return self.stopRequested() ? 1 : 0;
    });
    ASSERT_EQ(thread.start(), 0);
    EXPECT_TRUE(thread.terminate(2s));
    EXPECT_TRUE(answered.load());
    EXPECT_EQ(thread.exitCode(), 1);
}

// A connection attempt given up by its owner may still be closing when main() returns; the
// program waits for it, and ends at once (without destroying statics under it) when it hangs.
TEST(DetachedWork, TheEndOfTheProgramWaitsForDetachedWorkOrLeavesAtOnce)
{
    std::atomic<bool> closed{false};
    std::thread([token = DetachedWork::Token(), &closed] {
        std::this_thread::sleep_for(100ms);
        closed = true;
    }).detach();
    EXPECT_EQ(DetachedWork::settleBeforeExit(7, 5s), 7);
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(DetachedWork::pending(), 0u);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::thread([token = DetachedWork::Token()] { std::this_thread::sleep_for(1h); }).detach();
            DetachedWork::settleBeforeExit(5, 50ms);
            std::abort();
        },
        ::testing::ExitedWithCode(5), "");
}

} // namespace
} // namespace zeb::platform
