#include "script/vm/SystemClass.h"

#include "platform/MessageListeners.h"
#include "platform/MessageRegistry.h"
#include "script/vm/BlockingSection.h"
#include "script/vm/BufferObject.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Library.h"
#include "script/vm/ProgramRun.h"

#include <array>

namespace zeb::script::vm {

namespace {

Value runProgram(Interpreter& in, const Value& program, const Value* argument)
{
    const std::string* name = BufferObject::textOf(in.machine(), program);
    const std::string* text = argument != nullptr ? BufferObject::textOf(in.machine(), *argument) : nullptr;
    if (name == nullptr || (argument != nullptr && text == nullptr))
        return Value::integer(0);
    const std::string path = *name;
    std::vector<std::string> arguments;
    if (text != nullptr)
        arguments.push_back(*text);
    int code = ProgramRun::kNotStarted;
    {
        BlockingSection section(in);
        code = ProgramRun::run(path, arguments, [&in] { return in.stopRequested(); });
    }
    return Value::integer(code);
}

Value systemRun(Interpreter& in, const Value&, const Arguments& args)
{
    return runProgram(in, args[0], nullptr);
}

Value systemRunWith(Interpreter& in, const Value&, const Arguments& args)
{
    return runProgram(in, args[0], &args[1]);
}

// The recorder windows' remote breaker: 0 stops, 1 starts (or resumes), 2 suspends their recording. Posted to every
// window that listens, so the script never waits for them; answers how many were told, 0 for any other argument.
Value systemBreaker(Interpreter&, const Value&, const Arguments& args)
{
    static const std::array<platform::MessageId, 3> kMessages
        = {platform::MessageRegistry::registerMessage("ON_BREAKER_STOP"),
           platform::MessageRegistry::registerMessage("ON_BREAKER_START"),
           platform::MessageRegistry::registerMessage("ON_BREAKER_SUSPEND")};
    if (!args[0].isInteger() || args[0].asInteger() < 0 || args[0].asInteger() >= static_cast<int>(kMessages.size()))
        return Value::integer(0);
    const std::size_t told
        = platform::MessageListeners::instance().postToAll(kMessages[static_cast<std::size_t>(args[0].asInteger())]);
    return Value::integer(static_cast<std::int32_t>(told));
}

} // namespace

void installSystemClass(Machine& machine)
{
    ClassObject* system = machine.defineClass("System", machine.classes().object);
    Library::defineClassSide(machine, system,
                             {{"run:", systemRun}, {"run:with:", systemRunWith}, {"breaker:", systemBreaker}});
}

} // namespace zeb::script::vm
