// The selectors the compiler itself sends.
#pragma once

#include "script/front/SymbolTable.h"

namespace zeb::script {

struct Selectors
{
    Name negate;
    Name bitComplement;
    Name at;
    Name atPut;
    Name increment;
    Name decrement;
    Name assign;
    Name equal;

    static const Selectors& get();
};

} // namespace zeb::script
