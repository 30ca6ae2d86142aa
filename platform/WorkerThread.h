#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace zeb::platform {

// Base of the threads that serve transports and scripts. Stopping is cooperative: terminate()
// asks the body to end, wakes it through interrupt(), and waits a bounded time, serving
// synchronous sends meanwhile. No thread is ever killed.
//
// A derived class must call terminate() in its own destructor: by the time the base
// destructor runs, the members the body uses are gone.
class WorkerThread
{
public:
    static constexpr int kAnonymous = -1;
    static constexpr int kTableSize = 50;
    static constexpr int kStatusOk = 0;
    static constexpr int kStatusNoThread = 6;
    static constexpr int kStatusNotSupported = 23;
    static constexpr std::chrono::milliseconds kDefaultStopTimeout{5000};

    explicit WorkerThread(const std::string& name, double priority = 1.0, int identifier = kAnonymous);
    virtual ~WorkerThread();

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body on a new thread: 0, or 6 when no thread could be created. Does nothing
    // (and answers 0) while the thread is alive.
    int start();
    // Asks the body to end and waits for it up to `timeout`. True when the thread has ended.
    // From the thread itself it only asks, and returns true. From a thread that the body is
    // blocked on (it runs a handler of the body's synchronous send) it only asks as well, and
    // returns false: waiting could never end.
    bool terminate(std::chrono::milliseconds timeout = kDefaultStopTimeout);
    // True when the calling thread is the body's thread or keeps it blocked in a send.
    bool cannotJoinFromHere() const;
    // Leaves the end of the object to its own thread: `last` runs on it as the very last step,
    // after the body has returned, and may destroy this object and whatever owns it. False
    // when the thread has ended already (then nothing runs and the caller destroys as usual).
    // Several hand-offs run in the order they were made.
    bool handOff(std::function<void()> last);
    // Threads handed off whose last step has not finished yet, in the whole process. A program
    // that ends waits (bounded) for them, so that none is cut off in the middle of its end.
    static std::size_t finishing();
    // Suspension is cooperative: the body pauses at its next checkpoint().
    void suspend();
    void resume();
    bool isRunning() const { return m_running.load(); }
    bool isNotRunning() const { return !isRunning(); }

    // Priority from 0 to 1 (clamped), mapped to seven levels; applied at once when running.
    void setPriority(double priority);
    double priority() const { return m_priority.load(); }
    const std::string& name() const { return m_name; }
    int identifier() const { return m_identifier; }

    // The thread entered under an identifier below kTableSize, or none.
    static WorkerThread* byIdentifier(int identifier);
    // The seven-level index of a priority: whole part of priority x 6.
    static int priorityLevel(double priority);

protected:
    // The thread body; its result is kept as exitCode(). The base body does nothing.
    virtual int run();
    // Called on the terminating thread right after the stop request, to wake a body that
    // sleeps in a system call (a poll on a wake-up descriptor, a condition variable).
    virtual void interrupt() { }

    bool stopRequested() const { return m_stop.load(); }
    // Pauses while the thread is suspended. False when the body should end.
    bool checkpoint();

public:
    int exitCode() const { return m_exitCode.load(); }

private:
    void entry();
    void applyPriority();
    void joinIfEnded();
    bool onOwnThread() const { return m_threadId.load() == std::this_thread::get_id(); }

    const std::string m_name;
    const int m_identifier;
    std::atomic<double> m_priority;
    std::thread m_thread;
    std::atomic<int> m_nativeId{0};
    std::atomic<std::thread::id> m_threadId{};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_ended{true};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_exitCode{0};

    std::mutex m_exitMutex;
    std::function<void()> m_atExit; // guarded by m_exitMutex

    std::mutex m_suspendMutex;
    std::condition_variable m_suspendCondition;
    bool m_suspended = false;
};

} // namespace zeb::platform
