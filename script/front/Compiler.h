// Compiles a script text: parses it, then installs its variables and methods into a target.
#pragma once

#include "script/front/Diagnostic.h"
#include "script/front/InstallTarget.h"
#include "script/front/SyntaxTree.h"

#include <string>
#include <string_view>
#include <vector>

namespace zeb::script {

// One compile. The tree lives as long as the compiler.
class Compiler
{
public:
    // Parses the whole text; false at the first syntax error (see errorText()).
    bool compile(std::string_view text);

    // "Syntax error at line #%u:%u" at the place scanning stood when the error was found.
    std::string errorText() const;
    // That place, with its character offset (where an editor puts its caret).
    SourcePosition errorPosition() const { return m_error; }

    const SyntaxTree& tree() const { return m_tree; }

    // Declares the script's top-level variables in target, then compiles every method and
    // installs those that compiled. Returns what was wrong with the others.
    std::vector<Diagnostic> install(InstallTarget& target);

private:
    SyntaxTree m_tree;
    SourcePosition m_error;
};

} // namespace zeb::script
