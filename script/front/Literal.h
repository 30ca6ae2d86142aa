// One entry of a compiled method's literal table.
#pragma once

#include "script/front/SymbolTable.h"

#include <cstdint>

namespace zeb::script {

// Instructions name texts through the literal table: selectors and variable names (symbols the
// machine compares by identity) and string constants (from which the machine makes a string).
struct Literal
{
    enum class Kind : std::uint8_t { Symbol, String };
    Kind kind = Kind::Symbol;
    Name text = nullptr;
};

} // namespace zeb::script
