#include "script/vm/ThreadClass.h"

#include "platform/WorkerThread.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Object.h"
#include "script/vm/Run.h"

#include <algorithm>
#include <cmath>

namespace zeb::script::vm {

namespace {

class ThreadObject : public Object
{
public:
    ThreadObject(ClassObject* threadClass, std::shared_ptr<ScriptThread> thread)
        : Object(threadClass)
        , m_thread(std::move(thread))
    {
    }
    const std::shared_ptr<ScriptThread>& thread() const { return m_thread; }

private:
    std::shared_ptr<ScriptThread> m_thread;
};

Value makeThread(Interpreter& in, const std::shared_ptr<ScriptThread>& thread)
{
    thread->run = in.run();
    thread->output = &in.output();
    Value made = in.make(std::make_unique<ThreadObject>(in.machine().classes().thread, thread));
    thread->self = made.asHandle();
    return made;
}

const std::shared_ptr<ScriptThread>* threadOf(Interpreter& in, const Value& self)
{
    const auto* object = dynamic_cast<const ThreadObject*>(in.machine().object(self));
    if (object == nullptr || object->thread()->run == nullptr)
        return nullptr;
    return &object->thread();
}

Value threadNew(Interpreter& in, const Value&, const Arguments&)
{
    return makeThread(in, std::make_shared<ScriptThread>());
}

Value threadStart(Interpreter& in, const Value& self, const Arguments&)
{
    const std::shared_ptr<ScriptThread>* thread = threadOf(in, self);
    if (thread == nullptr)
        return Value::integer(platform::WorkerThread::kStatusNotSupported);
    const std::shared_ptr<ScriptThread> held = *thread;
    return Value::integer(held->run->threads().start(held, in));
}

Value threadStop(Interpreter& in, const Value& self, const Arguments&)
{
    const std::shared_ptr<ScriptThread>* thread = threadOf(in, self);
    if (thread == nullptr)
        return Value::integer(platform::WorkerThread::kStatusNotSupported);
    const std::shared_ptr<ScriptThread> held = *thread; // "stop" lets the lock go: the object may be deleted
    return Value::integer(held->run->threads().stop(held, in));
}

Value threadSubscribe(Interpreter& in, const Value& self, const Arguments& args)
{
    if (const std::shared_ptr<ScriptThread>* thread = threadOf(in, self)) {
        (*thread)->subscribed = args[0].isTrue();
        const double window = std::clamp(args[0].numeric(), -9.0e15, 9.0e15);
        (*thread)->window = std::isnan(window) ? 0 : static_cast<std::int64_t>(window);
    }
    return args[0];
}

// Whole milliseconds; nothing for a negative or zero time, at most a day at once.
Value numberSleep(Interpreter& in, const Value& self, const Arguments&)
{
    const double milliseconds = std::floor(self.numeric() * 1000.0);
    if (!(milliseconds >= 1.0))
        return self;
    in.pause(std::chrono::milliseconds(static_cast<std::int64_t>(std::min(milliseconds, 86400000.0))));
    return self;
}

} // namespace

Value ThreadClass::prepare(Interpreter& in, const Value& receiver, const MethodEntry& entry, const Arguments& arguments)
{
    auto thread = std::make_shared<ScriptThread>();
    thread->receiver = receiver;
    thread->hasMethod = true;
    thread->entry = entry;
    thread->arguments.reserve(arguments.count());
    for (std::uint32_t index = 0; index < arguments.count(); ++index)
        thread->arguments.push_back(arguments[index]);
    return makeThread(in, thread);
}

void ThreadClass::install(Machine& machine)
{
    ClassObject* thread = machine.classes().thread;
    const auto define = [thread](const char* selector, Primitive primitive) {
        thread->define(SymbolTable::intern(selector), MethodEntry{primitive});
    };
    define("start", threadStart);
    define("stop", threadStop);
    define("subscribe:", threadSubscribe);
    if (Object* threadClass = machine.object(machine.global(thread->name())))
        threadClass->setOwnMethod(SymbolTable::intern("new"), MethodEntry{threadNew});
    machine.classes().number->define(SymbolTable::intern("sleep"), MethodEntry{numberSleep});
}

} // namespace zeb::script::vm
