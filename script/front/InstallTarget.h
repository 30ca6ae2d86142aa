// What compiled methods are installed into: the script object of the machine.
#pragma once

#include "script/front/CompiledMethod.h"

#include <memory>

namespace zeb::script {

class InstallTarget
{
public:
    virtual ~InstallTarget() = default;
    // Whether the object has a script variable of that name now (names resolve to it at compile time).
    virtual bool hasScriptVariable(Name name) const = 0;
    // A new variable starts as the integer 0; an existing one keeps its value.
    virtual void declareScriptVariable(Name name) = 0;
    // Replaces a method of the same selector.
    virtual void installMethod(std::unique_ptr<CompiledMethod> method) = 0;
};

} // namespace zeb::script
