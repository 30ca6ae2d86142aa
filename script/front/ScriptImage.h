// The methods and variable names of a compiled script, without a machine to run them.
#pragma once

#include "script/front/InstallTarget.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace zeb::script {

// Serves the command-line tool, the tests and the benchmark as install target.
class ScriptImage : public InstallTarget
{
public:
    bool hasScriptVariable(Name name) const override { return m_variables.contains(name); }
    void declareScriptVariable(Name name) override { m_variables.insert(name); }
    void installMethod(std::unique_ptr<CompiledMethod> method) override;

    // The installed method of that selector text, or nullptr.
    const CompiledMethod* method(std::string_view selector) const;
    std::size_t methodCount() const { return m_methods.size(); }

private:
    std::unordered_set<Name> m_variables;
    std::unordered_map<Name, std::unique_ptr<CompiledMethod>> m_methods;
};

} // namespace zeb::script
