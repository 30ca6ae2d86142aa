// Script threads and the script lock they share.
#include "ScriptRunFixture.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <thread>

using namespace zeb::script;
using namespace zeb::script::vm;
using zeb::testsupport::waitFor;

namespace {

// Counts the end notifications per window; may act on each (as a window would).
class CountingHost : public Host
{
public:
    void threadDone(std::int64_t window, const Value& thread) override
    {
        if (onDone)
            onDone(thread);
        const std::lock_guard hold(m_mutex);
        ++m_done[window];
    }
    std::map<std::int64_t, int> done() const
    {
        const std::lock_guard hold(m_mutex);
        return m_done;
    }
    std::function<void(const Value&)> onDone;

private:
    mutable std::mutex m_mutex;
    std::map<std::int64_t, int> m_done;
};

using Threads = ScriptRunFixture<CountingHost>;

TEST(ScriptLock, LetsAWaitingThreadInAtEveryYield)
{
    ScriptLock lock;
    lock.lock();
    std::atomic<bool> entered{false};
    std::thread waiter([&] {
        lock.lock();
        entered = true;
        lock.unlock();
    });
    ASSERT_TRUE(waitFor([&] { return lock.contended(); }, "the second thread to queue"));
    // A plain mutex may be taken back at once, before the waiter ever runs.
    lock.yield();
    EXPECT_TRUE(entered.load());
    lock.unlock();
    waiter.join();
}

TEST(ScriptThreads, ABusyThreadLetsTheOthersRunAtItsSafepoints)
{
    Threads script;
    // main never blocks: the worker only counts while main lets the lock go in its loop.
    script.run("local n;\n"
               "count { while (1) n++; }\n"
               "main { n = 0; (thread self count) start; while (n < 100000) ; \"counted\" print; }\n");
    EXPECT_EQ(script.sink.text(), "counted");
}

TEST(ScriptThreads, StartAnswersZeroOnceAnd23After)
{
    Threads script;
    script.run("local done;\n"
               "work { done = 1; }\n"
               "main { local t; done = 0; t = thread self work;\n"
               "  t start print; while (done == 0) 0.01 sleep; t start print; t stop print; t start print; }\n");
    EXPECT_EQ(script.sink.text(), "023023");
}

TEST(ScriptThreads, AtMostSoManyRunAtOnce)
{
    Threads script;
    script.run("spin { while (1) ; }\n"
               "main { local i, started; started = 0;\n"
               "  for (i = 0; i < 100; i++) if ((thread self spin) start == 0) started++;\n"
               "  started print; }\n");
    EXPECT_EQ(script.sink.text(), std::to_string(RunThreads::kMaxThreads));
}

TEST(ScriptThreads, TellTheirWindowExactlyOnceHoweverTheyEnd)
{
    Threads script;
    script.run("local done;\n"
               "quick { done = 1; }\n"
               "spin { while (1) ; }\n"
               "main { local a, b, c, d; done = 0;\n"
               "  a = thread self quick; a subscribe: 7; a start; while (done == 0) 0.01 sleep;\n"
               "  b = thread self spin; b subscribe: 8; b start; b stop; b stop;\n"
               "  c = thread self spin; c subscribe: 9; c stop; c start; c stop;\n"
               "  d = thread self spin; d subscribe: 10; d start; }\n");
    // The run has waited for every thread, so no notification is still on its way.
    EXPECT_EQ(script.host.done(), (std::map<std::int64_t, int>{{7, 1}, {8, 1}, {9, 1}, {10, 1}}));
}

TEST(ScriptThreads, AThreadDeletedFromItsOwnNotificationIsNotWaitedFor)
{
    Threads script;
    script.host.onDone = [&](const Value& thread) {
        const std::lock_guard hold(script.machine.scriptLock());
        script.machine.heap().remove(thread.asHandle());
    };
    script.run("work { 0; }\n"
               "main { local t; t = thread self work; t subscribe: 1; t start;\n"
               "  while (t class != UndefinedObject) 0.01 sleep; \"deleted\" print; }\n");
    EXPECT_EQ(script.sink.text(), "deleted");
    EXPECT_EQ(script.host.done().size(), 1u);
}

} // namespace
