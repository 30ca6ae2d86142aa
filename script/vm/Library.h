// The built-in classes' primitives.
#pragma once

#include "script/vm/Method.h"
#include "script/vm/Value.h"

#include <initializer_list>
#include <string>

namespace zeb::script::vm {

class ClassObject;
class Interpreter;
class Machine;

class Library
{
public:
    // Sizes a script may ask for: anything else answers 0.
    static constexpr std::int64_t kMaxSize = 64 << 20;

    static void install(Machine& machine);
    // The text "print" shows for a value that has no print of its own: "anObject", "aButton".
    static std::string articleName(Interpreter& interpreter, const Value& value);

    // A size argument by its numeric value: -1 when outside 0..kMaxSize or not a whole number.
    static std::int64_t size(const Value& value);
    // An index argument by its numeric value (truncated): -1 when outside 0..count - 1.
    static std::int64_t index(const Value& value, std::size_t count);

    struct Definition
    {
        const char* selector;
        Primitive primitive;
    };
    // Primitives of a class's instances.
    static void define(ClassObject* cls, std::initializer_list<Definition> definitions);
    // Primitives of the class itself ("new:"), kept in its class object's own table.
    static void defineClassSide(Machine& machine, ClassObject* cls, std::initializer_list<Definition> definitions);
};

} // namespace zeb::script::vm
