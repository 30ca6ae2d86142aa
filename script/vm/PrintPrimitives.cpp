#include "script/vm/PrintPrimitives.h"

#include "script/vm/BufferObject.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Library.h"
#include "script/vm/NumberText.h"

namespace zeb::script::vm {

namespace {

Value writeInto(Interpreter& in, const Value& self, const Arguments& args, std::string_view text)
{
    if (auto* target = dynamic_cast<BufferObject*>(in.machine().object(args[0])))
        target->assign(text);
    return self;
}

Value objectPrintInto(Interpreter& in, const Value& self, const Arguments& args)
{
    return writeInto(in, self, args, Library::articleName(in, self));
}

Value classPrintInto(Interpreter& in, const Value& self, const Arguments& args)
{
    const auto* cls = dynamic_cast<const ClassObject*>(in.machine().object(self));
    return writeInto(in, self, args, cls != nullptr ? *cls->name() : Library::articleName(in, self));
}

Value valuePrintInto(Interpreter& in, const Value& self, const Arguments& args)
{
    return writeInto(in, self, args, printedText(in, self));
}

} // namespace

std::string printedText(Interpreter& in, const Value& value)
{
    switch (value.tag()) {
    case Tag::Integer:
        return NumberText::integer(value.asInteger());
    case Tag::Number:
        return NumberText::fixed(value.asNumber());
    case Tag::String:
        return value.asText();
    case Tag::Character:
        return std::string(1, static_cast<char>(value.asCharacter()));
    case Tag::Nil:
    case Tag::Object:
    case Tag::Super:
        break;
    }
    return Library::articleName(in, value);
}

void installPrintPrimitives(Machine& machine)
{
    const Machine::Classes& classes = machine.classes();
    Library::define(classes.object, {{"print:", objectPrintInto}});
    Library::define(classes.classClass, {{"print:", classPrintInto}});
    for (ClassObject* cls : {classes.number, classes.integer, classes.string, classes.character})
        Library::define(cls, {{"print:", valuePrintInto}});
}

} // namespace zeb::script::vm
