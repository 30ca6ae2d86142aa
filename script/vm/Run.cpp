#include "script/vm/Run.h"

#include "script/vm/AlarmClock.h"
#include "script/vm/Object.h"

namespace zeb::script::vm {

Run::Run(Machine& machine, OutputSink& output, Host* host)
    : m_machine(machine)
    , m_host(host != nullptr ? host : &m_noHost)
    , m_owner(machine.newOwner())
    , m_thread(machine, output, m_owner)
    , m_threads(*this)
    , m_script(m_thread.make(std::make_unique<Object>(machine.classes().object)))
{
    m_thread.setRun(this);
}

Run::~Run()
{
    const std::lock_guard hold(m_machine.scriptLock());
    end();
    m_machine.heap().removeOwnedBy(m_owner);
}

void Run::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_threads.end();
    m_machine.alarms().cancelAll(this);
    while (!m_atEnd.empty()) {
        const std::function<void()> action = std::move(m_atEnd.back());
        m_atEnd.pop_back();
        action();
    }
}

void Run::stop()
{
    m_thread.requestStop();
    m_threads.stopAll();
}

bool Run::hasScriptVariable(Name name) const
{
    const Object* script = m_machine.object(m_script);
    return script != nullptr && script->variables().contains(name);
}

void Run::declareScriptVariable(Name name)
{
    if (Object* script = m_machine.object(m_script))
        script->variables().try_emplace(name, Value::integer(0));
}

void Run::installMethod(std::unique_ptr<CompiledMethod> method)
{
    Object* script = m_machine.object(m_script);
    if (script == nullptr || method == nullptr)
        return;
    const Name selector = method->selector();
    script->setOwnMethod(selector, MethodEntry{nullptr, keepMethod(std::move(method))});
    m_machine.methodsChanged();
}

const MethodCode* Run::keepMethod(std::unique_ptr<CompiledMethod> method)
{
    m_methods.push_back(std::make_unique<MethodCode>(std::move(method), m_machine));
    return m_methods.back().get();
}

Run::Result Run::runMain(const Limits& limits)
{
    const std::lock_guard hold(m_machine.scriptLock());
    const Object* script = m_machine.object(m_script);
    if (script == nullptr || script->ownMethod(m_machine.names().main) == nullptr)
        return Result::NoMain;
    if (limits.timeout.count() > 0)
        m_thread.setDeadline(std::chrono::steady_clock::now() + limits.timeout);
    m_thread.setStepBudget(limits.steps);
    m_thread.send(m_script, m_machine.names().main);
    end();
    switch (m_thread.ending()) {
    case Interpreter::Ending::None:
        return Result::Finished;
    case Interpreter::Ending::StackOverflow:
        return Result::StackOverflow;
    case Interpreter::Ending::Stopped:
        return Result::Stopped;
    case Interpreter::Ending::TimedOut:
        return Result::TimedOut;
    case Interpreter::Ending::OutOfSteps:
        return Result::OutOfSteps;
    }
    return Result::Finished;
}

} // namespace zeb::script::vm
