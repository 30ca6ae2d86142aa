// The threads of one run besides main: the script threads it started and the interpreters that
// run for it on other threads (alarm deliveries, stream callbacks). All of them are stopped
// with the run, and the run waits for them before its objects go.
#pragma once

#include "script/vm/ScriptThread.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zeb::script::vm {

class Run;

class RunThreads
{
public:
    // How long the end of a run, or "stop", waits for a thread before it reports it.
    static constexpr std::chrono::milliseconds kStopWait{5000};
    // Threads of one run alive at once; "start" answers 6 (no thread) beyond.
    static constexpr std::size_t kMaxThreads = 64;
    // "stop" answers this when the thread did not end within that time (it still ends later).
    static constexpr int kStillRunning = 1;

    explicit RunThreads(Run& run);
    ~RunThreads();
    RunThreads(const RunThreads&) = delete;
    RunThreads& operator=(const RunThreads&) = delete;

    // Registers an interpreter running for the run on the calling thread, for its lifetime.
    // Made with the script lock held; an interpreter that joins a stopping run stops at once.
    class Member
    {
    public:
        Member(RunThreads& threads, Interpreter& interpreter);
        ~Member();
        Member(const Member&) = delete;
        Member& operator=(const Member&) = delete;

    private:
        friend class RunThreads;
        struct Core;
        Member(std::shared_ptr<Core> core, Interpreter& interpreter);
        std::shared_ptr<Core> m_core;
        Interpreter& m_interpreter;
    };

    // With the script lock held. Runs a prepared thread on a new system thread: 0; 23 when it
    // has run or runs already, or the run is ending; 6 when no thread could be made or too many
    // run.
    int start(const std::shared_ptr<ScriptThread>& thread, const Interpreter& starter);
    // With the script lock held. Asks the thread to stop and waits for it (bounded, the lock let
    // go, ended early by the caller's own Stop): 0 once it has ended, else kStillRunning. A
    // thread never started ends at once; a thread that stops itself is only asked.
    int stop(const std::shared_ptr<ScriptThread>& thread, Interpreter& caller);
    // From any thread, lock held or not: asks every thread of the run to stop, and refuses new ones.
    void stopAll();
    // With the script lock held, when the run ends: stops every thread and waits until each
    // has returned (letting the lock go meanwhile), except one running on the calling thread.
    void end();

private:
    using Core = Member::Core;

    // The body of a script thread; the thread keeps the shared parts alive while it runs.
    static void work(const std::shared_ptr<Core>& core, const std::shared_ptr<ScriptThread>& thread);
    void reapReturned();

    Run& m_run;
    std::shared_ptr<Core> m_core;
};

} // namespace zeb::script::vm
