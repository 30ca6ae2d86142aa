#include "platform/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zeb::platform {
namespace {

using namespace std::chrono_literals;

// Sleeps on a condition variable until stopped: the shape of every transport thread.
class Sleeper : public WorkerThread
{
public:
    Sleeper()
        : WorkerThread("sleeper", 0.5)
    {
    }
    ~Sleeper() override { terminate(); }

    std::atomic<int> passes{0};
    std::atomic<int> interrupts{0};

protected:
    int run() override
    {
        while (checkpoint()) {
            ++passes;
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
    class Counter : public WorkerThread
    {
    public:
        Counter()
            : WorkerThread("counter")
        {
        }
        ~Counter() override { terminate(); }
        std::atomic<int> count{0};

    protected:
        int run() override
        {
            while (checkpoint()) {
                ++count;
                std::this_thread::sleep_for(1ms);
            }
            return 0;
        }
    } counter;
    ASSERT_EQ(counter.start(), 0);
    while (counter.count < 3)
        std::this_thread::sleep_for(1ms);
    counter.suspend();
    EXPECT_FALSE(counter.isRunning());
    std::this_thread::sleep_for(20ms);
    const int paused = counter.count;
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(counter.count - paused, 1) << "the body kept going while suspended";
    counter.resume();
    EXPECT_TRUE(counter.isRunning());
    while (counter.count < paused + 3)
        std::this_thread::sleep_for(1ms);
    // A suspended thread must still be stoppable.
    counter.suspend();
    EXPECT_TRUE(counter.terminate(2s));
}

TEST(WorkerThread, ABodyThatIgnoresTheStopRequestMakesTerminateGiveUpInTime)
{
    class Stubborn : public WorkerThread
    {
    public:
        Stubborn()
            : WorkerThread("stubborn")
        {
        }
        ~Stubborn() override { terminate(); }
        std::atomic<bool> release{false};

    protected:
        int run() override
        {
            while (!release)
                std::this_thread::sleep_for(1ms);
            return 0;
        }
    } stubborn;
    ASSERT_EQ(stubborn.start(), 0);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(stubborn.terminate(50ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
    EXPECT_TRUE(stubborn.isRunning() || !stubborn.isNotRunning());
    stubborn.release = true;
    EXPECT_TRUE(stubborn.terminate(2s));
}

TEST(WorkerThread, TerminateFromTheThreadItselfOnlyAsks)
{
    class SelfStopping : public WorkerThread
    {
    public:
        SelfStopping()
            : WorkerThread("self")
        {
        }
        ~SelfStopping() override { terminate(); }
        std::atomic<bool> answered{false};

    protected:
        int run() override
        {
            answered = terminate(1s);
            return stopRequested() ? 1 : 0;
        }
    } thread;
    ASSERT_EQ(thread.start(), 0);
    EXPECT_TRUE(thread.terminate(2s));
    EXPECT_TRUE(thread.answered.load());
    EXPECT_EQ(thread.exitCode(), 1);
}

} // namespace
} // namespace zeb::platform
