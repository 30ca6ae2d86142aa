#include "script/front/Compiler.h"

#include "script/front/CodeGenerator.h"
#include "script/front/Parser.h"
#include "text/Format.h"

#include <memory>

namespace zeb::script {

bool Compiler::compile(std::string_view text)
{
    m_tree = SyntaxTree();
    Parser parser(text, m_tree);
    if (parser.parse())
        return true;
    m_error = parser.errorPosition();
    m_tree = SyntaxTree();
    return false;
}

std::string Compiler::errorText() const
{
    return text::format("Syntax error at line #%u:%u", m_error.line, m_error.column);
}

std::vector<Diagnostic> Compiler::install(InstallTarget& target)
{
    std::vector<Diagnostic> diagnostics;
    for (const Node* definition : m_tree.definitions()) {
        if (definition->kind != NodeKind::Declaration)
            continue;
        for (const Node* name = definition->items; name != nullptr; name = name->next)
            target.declareScriptVariable(name->name);
    }
    for (Node* definition : m_tree.definitions()) {
        if (definition->kind != NodeKind::Method)
            continue;
        auto method = std::make_unique<CompiledMethod>(definition->name);
        std::vector<Name> arguments;
        for (const Node* name = definition->items; name != nullptr; name = name->next)
            arguments.push_back(name->name);
        method->setArguments(std::move(arguments));
        CodeGenerator generator(*method, target, diagnostics);
        if (!generator.generateMethod(definition->first)) {
            diagnostics.push_back({definition->span.firstLine, definition->span.firstColumn,
                                   text::format("method \"%s\" was not installed", definition->name->c_str())});
            continue;
        }
        target.installMethod(std::move(method));
    }
    return diagnostics;
}

} // namespace zeb::script
