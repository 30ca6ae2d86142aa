#include "platform/WorkerThread.h"

#include "platform/SendChain.h"
#include "platform/ServingWait.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace zeb::platform {

namespace {

std::array<std::atomic<WorkerThread*>, WorkerThread::kTableSize>& threadTable()
{
    static std::array<std::atomic<WorkerThread*>, WorkerThread::kTableSize> table{};
    return table;
}

std::atomic<std::size_t> g_finishing{0};

bool inTable(int identifier)
{
    return identifier >= 0 && identifier < WorkerThread::kTableSize;
}

// Nice values for idle, lowest, below normal, normal, above normal, highest, time-critical.
// Raising a priority needs privileges; without them the thread simply stays at normal.
constexpr std::array<int, 7> kNiceByLevel{19, 10, 5, 0, -2, -5, -10};

} // namespace

WorkerThread::WorkerThread(const std::string& name, double priority, int identifier)
    : m_name(name.substr(0, 16))
    , m_identifier(identifier)
    , m_priority(std::clamp(priority, 0.0, 1.0))
{
    if (inTable(identifier))
        threadTable()[static_cast<std::size_t>(identifier)].store(this);
}

WorkerThread::~WorkerThread()
{
    if (onOwnThread()) {
        // The body (or its last step after a hand-off) destroys its own object: nobody is
        // left to join it.
        m_stop = true;
        if (m_thread.joinable())
            m_thread.detach();
    } else if (m_thread.joinable()) {
        // Derived classes stop their body in their own destructor; this is the last resort
        // for those that did not. A body that ignores the request is waited for, not killed;
        // one that waits for this very thread cannot be waited for, and is left running.
        m_stop = true;
        resume();
        const bool blocked = SendChain::waitsOnCaller(m_threadId.load());
        const bool ended = m_ended.load()
            || (!blocked && ServingWait::until([this] { return m_ended.load(); }, kDefaultStopTimeout));
        if (ended || !blocked) {
            if (!ended)
                std::fprintf(stderr, "ZEB500: thread '%s' did not stop in time; waiting for it\n", m_name.c_str());
            m_thread.join();
        } else {
            std::fprintf(stderr, "ZEB500: thread '%s' waits for its destroyer; left running\n", m_name.c_str());
            m_thread.detach();
        }
    }
    if (inTable(m_identifier)) {
        WorkerThread* self = this;
        threadTable()[static_cast<std::size_t>(m_identifier)].compare_exchange_strong(self, nullptr);
    }
}

WorkerThread* WorkerThread::byIdentifier(int identifier)
{
    return inTable(identifier) ? threadTable()[static_cast<std::size_t>(identifier)].load() : nullptr;
}

int WorkerThread::priorityLevel(double priority)
{
    return std::clamp(static_cast<int>(std::floor(std::clamp(priority, 0.0, 1.0) * 6.0)), 0, 6);
}

int WorkerThread::start()
{
    if (!m_ended.load())
        return kStatusOk;
    joinIfEnded();
    m_stop = false;
    {
        const std::lock_guard lock(m_suspendMutex);
        m_suspended = false;
    }
    m_ended = false;
    m_running = true;
    try {
        m_thread = std::thread(&WorkerThread::entry, this);
    } catch (const std::system_error&) {
        m_ended = true;
        m_running = false;
        return kStatusNoThread;
    }
    return kStatusOk;
}

void WorkerThread::entry()
{
    m_threadId = std::this_thread::get_id();
    m_nativeId = static_cast<int>(::gettid());
    applyPriority();
    const int code = run();
    std::function<void()> last;
    {
        const std::lock_guard lock(m_exitMutex);
        last = std::move(m_atExit);
        m_exitCode = code;
        // With a last step the identifier stays: the step destroys this object on this thread.
        if (!last)
            m_threadId = std::thread::id{};
        m_running = false;
        m_ended = true;
    }
    // A terminate() waiting in another thread notices at once.
    ServingWait::wakeAll();
    if (!last)
        return;
    last();
    // This object is gone; only process-wide state is touched from here.
    g_finishing.fetch_sub(1);
    ServingWait::wakeAll();
}

std::size_t WorkerThread::finishing()
{
    return g_finishing.load();
}

bool WorkerThread::handOff(std::function<void()> last)
{
    const std::lock_guard lock(m_exitMutex);
    if (m_ended.load())
        return false;
    if (!m_atExit) {
        g_finishing.fetch_add(1);
        m_atExit = std::move(last);
        return true;
    }
    // Objects handed over earlier go first: a later one may be what they still refer to.
    m_atExit = [earlier = std::move(m_atExit), later = std::move(last)] {
        earlier();
        later();
    };
    return true;
}

bool WorkerThread::cannotJoinFromHere() const
{
    return SendChain::cannotJoin(m_threadId.load());
}

int WorkerThread::run()
{
    return kStatusNotSupported;
}

bool WorkerThread::terminate(std::chrono::milliseconds timeout)
{
    if (onOwnThread()) {
        // The std::thread object may still be being assigned by start() on the starting
        // thread, so the body must not look at it.
        m_stop = true;
        interrupt();
        return true;
    }
    if (!m_thread.joinable())
        return true;
    m_stop = true;
    resume();
    interrupt();
    if (SendChain::waitsOnCaller(m_threadId.load()) && !m_ended.load())
        return false;
    if (!ServingWait::until([this] { return m_ended.load(); }, timeout))
        return false;
    joinIfEnded();
    m_running = false;
    return true;
}

void WorkerThread::joinIfEnded()
{
    if (m_thread.joinable() && m_ended.load() && !onOwnThread())
        m_thread.join();
}

void WorkerThread::suspend()
{
    const std::lock_guard lock(m_suspendMutex);
    m_suspended = true;
    m_running = false;
}

void WorkerThread::resume()
{
    {
        const std::lock_guard lock(m_suspendMutex);
        m_suspended = false;
        if (!m_ended.load())
            m_running = true;
    }
    m_suspendCondition.notify_all();
}

bool WorkerThread::checkpoint()
{
    std::unique_lock lock(m_suspendMutex);
    m_suspendCondition.wait(lock, [this] { return !m_suspended || m_stop.load(); });
    return !m_stop.load();
}

void WorkerThread::setPriority(double priority)
{
    m_priority = std::clamp(priority, 0.0, 1.0);
    if (!m_ended.load())
        applyPriority();
}

void WorkerThread::applyPriority()
{
    const int tid = m_nativeId.load();
    if (tid == 0)
        return;
    const int nice = kNiceByLevel[static_cast<std::size_t>(priorityLevel(m_priority.load()))];
    // Best effort: without the right to raise priorities the call fails and nothing changes.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
}

} // namespace zeb::platform
