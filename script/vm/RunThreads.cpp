#include "script/vm/RunThreads.h"

#include "platform/ServingWait.h"
#include "platform/WorkerThread.h"
#include "script/vm/BlockingSection.h"
#include "script/vm/Run.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace zeb::script::vm {

using platform::ServingWait;
using platform::WorkerThread;

// Shared with the workers, which may outlive the run by their last few steps (a run destroyed
// from inside a thread's own end notification).
struct RunThreads::Member::Core
{
    std::mutex mutex;
    bool stopping = false;
    std::vector<std::pair<Interpreter*, std::thread::id>> members;
    std::vector<std::shared_ptr<ScriptThread>> started;
};

RunThreads::Member::Member(RunThreads& threads, Interpreter& interpreter)
    : Member(threads.m_core, interpreter)
{
}

RunThreads::Member::Member(std::shared_ptr<Core> core, Interpreter& interpreter)
    : m_core(std::move(core))
    , m_interpreter(interpreter)
{
    const std::lock_guard hold(m_core->mutex);
    m_core->members.emplace_back(&interpreter, std::this_thread::get_id());
    if (m_core->stopping)
        interpreter.requestStop();
}

RunThreads::Member::~Member()
{
    {
        const std::lock_guard hold(m_core->mutex);
        auto& members = m_core->members;
        members.erase(std::find_if(members.begin(), members.end(),
                                   [this](const auto& member) { return member.first == &m_interpreter; }));
    }
    ServingWait::wakeAll();
}

RunThreads::RunThreads(Run& run)
    : m_run(run)
    , m_core(std::make_shared<Core>())
{
}

RunThreads::~RunThreads()
{
    // end() has joined every worker; one that could not be waited for must not take the
    // process down with it.
    for (const std::shared_ptr<ScriptThread>& thread : m_core->started)
        if (thread->worker.joinable())
            thread->worker.detach();
}

int RunThreads::start(const std::shared_ptr<ScriptThread>& thread, const Interpreter& starter)
{
    const std::lock_guard hold(m_core->mutex);
    if (thread->state != ScriptThread::State::Ready || m_core->stopping)
        return WorkerThread::kStatusNotSupported;
    reapReturned();
    if (m_core->started.size() >= kMaxThreads)
        return WorkerThread::kStatusNoThread;
    thread->interpreter
        = std::make_unique<Interpreter>(m_run.machine(), *thread->output, m_run.owner(), Interpreter::kThreadSize);
    thread->interpreter->setRun(&m_run);
    thread->interpreter->inheritLimits(starter);
    thread->state = ScriptThread::State::Running;
    thread->returned = false;
    try {
        thread->worker = std::thread(&RunThreads::work, m_core, thread);
    } catch (const std::system_error&) {
        thread->state = ScriptThread::State::Ready;
        thread->returned = true;
        thread->interpreter.reset();
        return WorkerThread::kStatusNoThread;
    }
    m_core->started.push_back(thread);
    return WorkerThread::kStatusOk;
}

// Joins the workers that have returned, so a script that starts thread after thread keeps
// only the live ones. Called with the core's mutex held: a worker takes it no more once it
// has returned.
void RunThreads::reapReturned()
{
    auto& started = m_core->started;
    const auto done
        = std::partition(started.begin(), started.end(), [](const auto& thread) { return !thread->returned; });
    for (auto at = done; at != started.end(); ++at)
        (*at)->worker.join();
    started.erase(done, started.end());
}

void RunThreads::work(const std::shared_ptr<Core>& core, const std::shared_ptr<ScriptThread>& thread)
{
    Run& run = *thread->run;
    bool subscribed = false;
    std::int64_t window = 0;
    Value self;
    {
        const std::lock_guard hold(run.machine().scriptLock());
        {
            const Member member(core, *thread->interpreter);
            if (thread->hasMethod)
                thread->interpreter->call(thread->receiver, thread->entry, thread->arguments);
        }
        subscribed = thread->subscribed;
        window = thread->window;
        self = Value::object(thread->self);
        thread->receiver = Value();
        thread->arguments.clear();
        thread->interpreter.reset();
    }
    {
        const std::lock_guard hold(core->mutex);
        thread->state = ScriptThread::State::Ended;
    }
    ServingWait::wakeAll();
    if (subscribed)
        run.host().threadDone(window, self);
    // The run may be gone from here on (destroyed from inside the notification).
    {
        const std::lock_guard hold(core->mutex);
        thread->returned = true;
    }
    ServingWait::wakeAll();
}

int RunThreads::stop(const std::shared_ptr<ScriptThread>& thread, Interpreter& caller)
{
    ScriptThread::State state = ScriptThread::State::Ended;
    {
        // A thread never started ends here, once, even when two threads stop it at once.
        const std::lock_guard hold(m_core->mutex);
        state = thread->state;
        if (state == ScriptThread::State::Ready)
            thread->state = ScriptThread::State::Ended;
    }
    if (state == ScriptThread::State::Ended)
        return WorkerThread::kStatusOk;
    if (state == ScriptThread::State::Ready) {
        const bool subscribed = thread->subscribed;
        const std::int64_t window = thread->window;
        const Value self = Value::object(thread->self);
        Host& host = m_run.host();
        const BlockingSection section(caller);
        if (subscribed)
            host.threadDone(window, self);
        return WorkerThread::kStatusOk;
    }
    if (!thread->interpreter)
        return WorkerThread::kStatusOk; // its method has returned; it is telling its window
    thread->interpreter->requestStop();
    if (thread->interpreter.get() == &caller)
        return WorkerThread::kStatusOk;
    const BlockingSection section(caller);
    const auto core = m_core;
    const bool ended = ServingWait::until(
        [&] {
            const std::lock_guard hold(core->mutex);
            return thread->state == ScriptThread::State::Ended || caller.stopRequested();
        },
        kStopWait);
    const std::lock_guard hold(core->mutex);
    return ended && thread->state == ScriptThread::State::Ended ? WorkerThread::kStatusOk : kStillRunning;
}

void RunThreads::stopAll()
{
    {
        const std::lock_guard hold(m_core->mutex);
        m_core->stopping = true;
        for (const auto& member : m_core->members)
            member.first->requestStop();
    }
    ServingWait::wakeAll();
}

void RunThreads::end()
{
    stopAll();
    const std::thread::id self = std::this_thread::get_id();
    const auto settled = [this, self] {
        const std::lock_guard hold(m_core->mutex);
        const bool membersGone = std::all_of(m_core->members.begin(), m_core->members.end(),
                                             [self](const auto& member) { return member.second == self; });
        return membersGone && std::all_of(m_core->started.begin(), m_core->started.end(), [self](const auto& thread) {
                   return thread->returned || thread->worker.get_id() == self;
               });
    };
    if (!settled()) {
        ScriptLock& lock = m_run.machine().scriptLock();
        lock.unlock();
        // Never free what a thread still uses: one that ignores Stop (blocked in a call that
        // does not end) is reported and waited for, while this thread keeps serving sends.
        if (!ServingWait::until(settled, kStopWait)) {
            std::fprintf(stderr, "ZEB500: script threads did not stop in time; waiting for them\n");
            while (!ServingWait::until(settled, kStopWait)) { }
        }
        lock.lock();
    }
    std::vector<std::shared_ptr<ScriptThread>> started;
    {
        const std::lock_guard hold(m_core->mutex);
        started.swap(m_core->started);
    }
    for (const std::shared_ptr<ScriptThread>& thread : started) {
        if (thread->worker.get_id() == self)
            thread->worker.detach(); // its last steps touch only what it shares
        else if (thread->worker.joinable())
            thread->worker.join();
    }
}

} // namespace zeb::script::vm
