// One run of a compiled script: its script object with the installed methods and variables,
// its output, and every object it made, all deleted when the run ends.
#pragma once

#include "script/front/InstallTarget.h"
#include "script/vm/Interpreter.h"

#include <chrono>
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

    Run(Machine& machine, OutputSink& output);
    ~Run() override;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool hasScriptVariable(Name name) const override;
    void declareScriptVariable(Name name) override;
    void installMethod(std::unique_ptr<CompiledMethod> method) override;

    const Value& scriptObject() const { return m_script; }
    // Sends "main" to the script object on this run's thread and waits for it to end.
    Result runMain(const Limits& limits);
    // Ends the run from another thread at its next safepoint.
    void stop() { m_thread.requestStop(); }

private:
    Machine& m_machine;
    Heap::Owner m_owner;
    Interpreter m_thread;
    Value m_script;
    // The methods outlive the script object: a running method may delete its own receiver.
    std::vector<std::unique_ptr<MethodCode>> m_methods;
};

} // namespace zeb::script::vm
