#include "script/vm/Library.h"

#include "script/vm/AlarmClock.h"
#include "script/vm/BufferClass.h"
#include "script/vm/ButtonClass.h"
#include "script/vm/Interpreter.h"
#include "script/vm/NumberText.h"
#include "script/vm/Object.h"
#include "script/vm/ObjectCompiler.h"
#include "script/vm/PrintPrimitives.h"
#include "script/vm/StreamClass.h"
#include "script/vm/StringDialogs.h"
#include "script/vm/SystemClass.h"
#include "script/vm/ThreadClass.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace zeb::script::vm {

namespace {

using Args = Arguments;

// Object.

Value objectPrint(Interpreter& in, const Value& self, const Args&)
{
    in.write(Library::articleName(in, self));
    return self;
}

Value objectPrintLine(Interpreter& in, const Value& self, const Args&)
{
    in.send(self, in.machine().names().print);
    in.write("\r\n");
    return self;
}

Value objectIdentical(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.identical(args[0]));
}

Value objectNotIdentical(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(!self.identical(args[0]));
}

Value objectAnd(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.isTrue() && args[0].isTrue());
}

Value objectOr(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.isTrue() || args[0].isTrue());
}

Value objectClass(Interpreter& in, const Value& self, const Args&)
{
    return Value::object(in.machine().classOf(self)->handle());
}

Value objectDelete(Interpreter& in, const Value& self, const Args&)
{
    if (self.tag() == Tag::Object)
        in.machine().heap().remove(self.asHandle());
    return self;
}

Value objectNotUnderstood(Interpreter& in, const Value& self, const Args& args)
{
    in.send(self, in.machine().names().print);
    const std::string selector = args[0].tag() == Tag::String ? args[0].asText() : std::string();
    in.write(" doesNotUnderstand:" + selector + "\r\n");
    return self;
}

// Class.

Value className(Interpreter& in, const Value& self, const Args&)
{
    const auto* cls = dynamic_cast<const ClassObject*>(in.machine().object(self));
    return cls != nullptr ? Value::string(*cls->name()) : Value();
}

Value classSuperclass(Interpreter& in, const Value& self, const Args&)
{
    const auto* cls = dynamic_cast<const ClassObject*>(in.machine().object(self));
    if (cls == nullptr || cls->superclass() == nullptr)
        return {};
    return Value::object(cls->superclass()->handle());
}

Value classPrint(Interpreter& in, const Value& self, const Args&)
{
    if (const auto* cls = dynamic_cast<const ClassObject*>(in.machine().object(self)))
        in.write(*cls->name());
    return self;
}

// Number: coerced to floating values, the result normalised.

template <typename Operation>
Value numeric(const Value& self, const Args& args, Operation operation)
{
    return Value::normalised(operation(self.numeric(), args[0].numeric()));
}

Value numberAdd(Interpreter&, const Value& self, const Args& args)
{
    return numeric(self, args, [](double a, double b) { return a + b; });
}
Value numberSubtract(Interpreter&, const Value& self, const Args& args)
{
    return numeric(self, args, [](double a, double b) { return a - b; });
}
Value numberMultiply(Interpreter&, const Value& self, const Args& args)
{
    return numeric(self, args, [](double a, double b) { return a * b; });
}
Value numberDivide(Interpreter&, const Value& self, const Args& args)
{
    return numeric(self, args, [](double a, double b) { return a / b; });
}
Value numberLess(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.numeric() < args[0].numeric());
}
Value numberGreater(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.numeric() > args[0].numeric());
}
Value numberLessEqual(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.numeric() <= args[0].numeric());
}
Value numberGreaterEqual(Interpreter&, const Value& self, const Args& args)
{
    return Value::truth(self.numeric() >= args[0].numeric());
}

template <double (*Function)(double)>
Value numberFunction(Interpreter&, const Value& self, const Args&)
{
    return Value::normalised(Function(self.numeric()));
}

double negated(double value)
{
    return -value;
}
double incremented(double value)
{
    return value + 1;
}
double decremented(double value)
{
    return value - 1;
}
double absolute(double value)
{
    return std::fabs(value);
}
double squareRoot(double value)
{
    return std::sqrt(value);
}
double sine(double value)
{
    return std::sin(value);
}
double cosine(double value)
{
    return std::cos(value);
}
double exponential(double value)
{
    return std::exp(value);
}

Value numberPrint(Interpreter& in, const Value& self, const Args&)
{
    in.write(NumberText::number(self.numeric()));
    return self;
}

// Integer: the argument converted numerically, the result an Integer.

Value integerRemainder(Interpreter&, const Value& self, const Args& args)
{
    const std::int32_t divisor = args[0].integral();
    if (divisor == 0 || divisor == -1)
        return Value::integer(0); // x % -1 is always 0, and INT_MIN % -1 would trap
    return Value::integer(self.integral() % divisor);
}

template <typename Operation>
Value bitwise(const Value& self, const Args& args, Operation operation)
{
    const auto a = static_cast<std::uint32_t>(self.integral());
    const auto b = static_cast<std::uint32_t>(args[0].integral());
    return Value::integer(static_cast<std::int32_t>(operation(a, b)));
}

Value integerShiftLeft(Interpreter&, const Value& self, const Args& args)
{
    return bitwise(self, args, [](std::uint32_t a, std::uint32_t b) { return a << (b & 31); });
}
Value integerShiftRight(Interpreter&, const Value& self, const Args& args)
{
    return Value::integer(self.integral() >> (args[0].integral() & 31));
}
Value integerAnd(Interpreter&, const Value& self, const Args& args)
{
    return bitwise(self, args, [](std::uint32_t a, std::uint32_t b) { return a & b; });
}
Value integerOr(Interpreter&, const Value& self, const Args& args)
{
    return bitwise(self, args, [](std::uint32_t a, std::uint32_t b) { return a | b; });
}
Value integerXor(Interpreter&, const Value& self, const Args& args)
{
    return bitwise(self, args, [](std::uint32_t a, std::uint32_t b) { return a ^ b; });
}
Value integerComplement(Interpreter&, const Value& self, const Args&)
{
    return Value::integer(~self.integral());
}
Value integerPrint(Interpreter& in, const Value& self, const Args&)
{
    in.write(NumberText::integer(self.integral()));
    return self;
}

// Character.

Value characterPrint(Interpreter& in, const Value& self, const Args&)
{
    const char code = static_cast<char>(self.asCharacter());
    in.write(std::string_view(&code, 1));
    return self;
}

// String: immutable; every result is a new string.

Value stringConcatenate(Interpreter&, const Value& self, const Args& args)
{
    if (self.tag() != Tag::String || args[0].tag() != Tag::String)
        return Value::string({});
    std::string joined;
    joined.reserve(self.asText().size() + args[0].asText().size());
    joined.append(self.asText()).append(args[0].asText());
    return Value::string(std::move(joined));
}

Value stringSize(Interpreter&, const Value& self, const Args&)
{
    return Value::integer(static_cast<std::int32_t>(self.asText().size()));
}

Value stringAt(Interpreter&, const Value& self, const Args& args)
{
    const std::string& text = self.asText();
    const std::int64_t index = Library::index(args[0], text.size());
    if (index < 0)
        return Value::integer(0);
    return Value::character(static_cast<std::uint8_t>(text[static_cast<std::size_t>(index)]));
}

Value stringPrint(Interpreter& in, const Value& self, const Args&)
{
    in.write(self.asText());
    return self;
}

// Array.

Value arrayNew(Interpreter& in, const Value&, const Args& args)
{
    const std::int64_t size = Library::size(args[0]);
    if (size < 0)
        return Value::integer(0);
    return in.make(std::make_unique<ArrayObject>(in.machine().classes().array, static_cast<std::size_t>(size)));
}

ArrayObject* arrayOf(Interpreter& in, const Value& self)
{
    return dynamic_cast<ArrayObject*>(in.machine().object(self));
}

Value arrayAt(Interpreter& in, const Value& self, const Args& args)
{
    ArrayObject* array = arrayOf(in, self);
    const std::int64_t index = array != nullptr ? Library::index(args[0], array->elements().size()) : -1;
    if (index < 0)
        return Value::integer(0);
    return array->elements()[static_cast<std::size_t>(index)];
}

Value arrayAtPut(Interpreter& in, const Value& self, const Args& args)
{
    ArrayObject* array = arrayOf(in, self);
    const std::int64_t index = array != nullptr ? Library::index(args[0], array->elements().size()) : -1;
    if (index < 0)
        return Value::integer(0);
    array->elements()[static_cast<std::size_t>(index)] = args[1];
    return args[1];
}

Value arraySize(Interpreter& in, const Value& self, const Args&)
{
    ArrayObject* array = arrayOf(in, self);
    return Value::integer(array != nullptr ? static_cast<std::int32_t>(array->elements().size()) : 0);
}

} // namespace

std::int64_t Library::size(const Value& value)
{
    const double size = value.numeric();
    if (!(size >= 0 && size <= static_cast<double>(kMaxSize)) || size != std::floor(size))
        return -1;
    return static_cast<std::int64_t>(size);
}

std::int64_t Library::index(const Value& value, std::size_t count)
{
    // Numerically, so an index far outside the 32-bit range never wraps onto a valid one.
    const double index = std::trunc(value.numeric());
    if (!(index >= 0 && index < static_cast<double>(count)))
        return -1;
    return static_cast<std::int64_t>(index);
}

void Library::define(ClassObject* cls, std::initializer_list<Definition> definitions)
{
    for (const Definition& definition : definitions)
        cls->define(SymbolTable::intern(definition.selector), MethodEntry{definition.primitive});
}

void Library::defineClassSide(Machine& machine, ClassObject* cls, std::initializer_list<Definition> definitions)
{
    Object* classObject = machine.object(machine.global(cls->name()));
    if (classObject == nullptr)
        return;
    for (const Definition& definition : definitions)
        classObject->setOwnMethod(SymbolTable::intern(definition.selector), MethodEntry{definition.primitive});
}

std::string Library::articleName(Interpreter& in, const Value& value)
{
    const std::string& name = *in.machine().classOf(value)->name();
    const bool vowel = !name.empty() && std::strchr("aeiouyAEIOUY", name.front()) != nullptr;
    return (vowel ? "an" : "a") + name;
}

void Library::install(Machine& machine)
{
    const Machine::Classes& classes = machine.classes();
    define(classes.object,
           {{"print", objectPrint},
            {"printLine", objectPrintLine},
            {"==", objectIdentical},
            {"!=", objectNotIdentical},
            {"&&", objectAnd},
            {"||", objectOr},
            {"class", objectClass},
            {"delete", objectDelete},
            {"doesNotUnderstand:", objectNotUnderstood}});
    define(classes.classClass, {{"name", className}, {"superclass", classSuperclass}, {"print", classPrint}});
    define(classes.number,
           {{"+", numberAdd},
            {"-", numberSubtract},
            {"*", numberMultiply},
            {"/", numberDivide},
            {"<", numberLess},
            {">", numberGreater},
            {"<=", numberLessEqual},
            {">=", numberGreaterEqual},
            {"negate", numberFunction<negated>},
            {"abs", numberFunction<absolute>},
            {"sqrt", numberFunction<squareRoot>},
            {"sin", numberFunction<sine>},
            {"cos", numberFunction<cosine>},
            {"exp", numberFunction<exponential>},
            {"increment", numberFunction<incremented>},
            {"decrement", numberFunction<decremented>},
            {"print", numberPrint}});
    define(classes.integer,
           {{"%", integerRemainder},
            {"<<", integerShiftLeft},
            {">>", integerShiftRight},
            {"&", integerAnd},
            {"|", integerOr},
            {"^", integerXor},
            {"bitComplement", integerComplement},
            {"print", integerPrint}});
    define(classes.character, {{"print", characterPrint}});
    define(classes.string,
           {{"+", stringConcatenate},
            {"size", stringSize},
            {"length", stringSize},
            {"at:", stringAt},
            {"print", stringPrint}});
    define(classes.array, {{"at:", arrayAt}, {"at:put:", arrayAtPut}, {"size", arraySize}, {"length", arraySize}});
    defineClassSide(machine, classes.array, {{"new:", arrayNew}});
    installPrintPrimitives(machine);
    installCompilePrimitive(machine);
    installBufferClass(machine);
    installStringDialogs(machine);
    installButtonClass(machine);
    installSystemClass(machine);
    installStreamClass(machine);
    ThreadClass::install(machine);
    AlarmClock::install(machine);
}

} // namespace zeb::script::vm
