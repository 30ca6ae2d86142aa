// One run of a compiled script: its script object with the installed methods and variables,
// its output, and every object it made, all deleted when the run ends.
#pragma once

#include "script/front/InstallTarget.h"
#include "script/vm/Host.h"
#include "script/vm/Interpreter.h"
#include "script/vm/RunThreads.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace zeb::script::vm {

class Run : public InstallTarget
{
public:
    enum class Result : std::uint8_t { Finished, NoMain, StackOverflow, Stopped, TimedOut, OutOfSteps };

    struct Limits
    {
        std::chrono::steady_clock::duration timeout{}; // zero: none
        std::uint64_t steps = 0; // zero: none
    };

    Run(Machine& machine, OutputSink& output, Host* host = nullptr);
    ~Run() override;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool hasScriptVariable(Name name) const override;
    void declareScriptVariable(Name name) override;
    void installMethod(std::unique_ptr<CompiledMethod> method) override;
    // Keeps a method's code as long as the run: methods installed into its objects point into it.
    const MethodCode* keepMethod(std::unique_ptr<CompiledMethod> method);

    const Value& scriptObject() const { return m_script; }
    Machine& machine() { return m_machine; }
    Heap::Owner owner() const { return m_owner; }
    // Never null: a run without a host gets one that shows nothing.
    Host& host() { return *m_host; }
    // Work to do when the run ends (stop its threads, cancel its alarms, drop its subscriptions,
    // close its streams), done last registered first, before its objects are deleted. Called with
    // the script lock held; an action that waits must let it go while it waits.
    void atEnd(std::function<void()> action) { m_atEnd.push_back(std::move(action)); }
    // Sends "main" to the script object on this run's thread and waits for it to end; the run
    // then ends (see atEnd).
    Result runMain(const Limits& limits);
    // The thread that runs main: threads serving the run follow its Stop and time limit.
    const Interpreter& mainThread() const { return m_thread; }
    // Ends the run from another thread: main and every other thread of the run stop at their
    // next safepoint, and their waits end.
    void stop();
    RunThreads& threads() { return m_threads; }

private:
    void end();

    Machine& m_machine;
    Host m_noHost;
    Host* m_host;
    std::vector<std::function<void()>> m_atEnd;
    bool m_ended = false;
    Heap::Owner m_owner;
    Interpreter m_thread;
    RunThreads m_threads;
    Value m_script;
    // The methods outlive the script object: a running method may delete its own receiver.
    std::vector<std::unique_ptr<MethodCode>> m_methods;
};

} // namespace zeb::script::vm
