// "compile:": script definitions compiled at run time into an object of the run, as its own
// methods and named variables. Nothing is installed unless the whole text compiled.
#pragma once

#include "script/front/InstallTarget.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zeb::script::vm {

class Machine;
class Object;
class Run;

class ObjectCompiler : public InstallTarget
{
public:
    ObjectCompiler(Run& run, Object& object);

    // False, with the object unchanged, on a syntax error or a method that did not compile.
    bool compileInto(std::string_view text);

    bool hasScriptVariable(Name name) const override;
    void declareScriptVariable(Name name) override;
    void installMethod(std::unique_ptr<CompiledMethod> method) override;

private:
    Run& m_run;
    Object& m_object;
    // What the compile produced, held back until all of it succeeded.
    std::vector<Name> m_variables;
    std::vector<std::unique_ptr<CompiledMethod>> m_methods;
};

void installCompilePrimitive(Machine& machine);

} // namespace zeb::script::vm
