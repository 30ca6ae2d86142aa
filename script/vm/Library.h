// The built-in classes' primitives.
#pragma once

#include "script/vm/Value.h"

#include <string>

namespace zeb::script::vm {

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
};

} // namespace zeb::script::vm
