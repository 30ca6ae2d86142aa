#include "script/vm/SystemClass.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/BufferObject.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Library.h"
#include "script/vm/ProgramRun.h"

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

} // namespace

void installSystemClass(Machine& machine)
{
    ClassObject* system = machine.defineClass("System", machine.classes().object);
    Library::defineClassSide(machine, system, {{"run:", systemRun}, {"run:with:", systemRunWith}});
}

} // namespace zeb::script::vm
