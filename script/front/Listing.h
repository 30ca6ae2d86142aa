// The text of a compiled method's instructions, one line each.
#pragma once

#include "script/front/CompiledMethod.h"

#include <string>

namespace zeb::script {

class Listing
{
public:
    // "0000 LINK 1\r\n0002 INTEGER 3\r\n..."; a word that is no instruction is listed as
    // "???? value" and taken as one word, so any code can be listed.
    static std::string of(const CompiledMethod& method);
};

} // namespace zeb::script
