// Compiles a script text: parses it, then installs its variables and methods into a target.
#pragma once

#include "script/front/CompiledMethod.h"
#include "script/front/Diagnostic.h"
#include "script/front/InstallTarget.h"
#include "script/front/SyntaxTree.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::script {

// One compile. The tree lives as long as the compiler.
class Compiler
{
public:
    // Parses the whole text and generates the code of each method as soon as it is parsed;
    // false at the first syntax error (see errorText()).
    bool compile(std::string_view text);

    // "Syntax error at line #%u:%u" at the place scanning stood when the error was found.
    std::string errorText() const;
    // That place, with its character offset (where an editor puts its caret).
    SourcePosition errorPosition() const { return m_error; }

    const SyntaxTree& tree() const { return m_tree; }

    // Declares the script's top-level variables in target, then installs a copy of every method
    // that compiled, bound to target's script variables. Returns what was wrong with the others.
    std::vector<Diagnostic> install(InstallTarget& target) const;

private:
    struct Generated
    {
        const Node* definition;
        std::unique_ptr<CompiledMethod> method; // nullptr when the method did not compile
    };

    void generate(Node* definition);

    SyntaxTree m_tree;
    SourcePosition m_error;
    std::vector<Generated> m_methods;
    std::vector<Diagnostic> m_diagnostics;
};

} // namespace zeb::script
