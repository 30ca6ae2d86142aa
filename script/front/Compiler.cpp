#include "script/front/Compiler.h"

#include "script/front/CodeGenerator.h"
#include "script/front/Parser.h"
#include "text/Format.h"

namespace zeb::script {

bool Compiler::compile(std::string_view text)
{
    m_tree = SyntaxTree();
    m_methods.clear();
    m_diagnostics.clear();
    Parser parser(text, m_tree);
    if (parser.parse([this](Node* definition) { generate(definition); }))
        return true;
    m_error = parser.errorPosition();
    m_tree = SyntaxTree();
    m_methods.clear();
    m_diagnostics.clear();
    return false;
}

void Compiler::generate(Node* definition)
{
    if (definition->kind != NodeKind::Method)
        return;
    auto method = std::make_unique<CompiledMethod>(definition->name);
    std::vector<Name> arguments;
    for (const Node* name = definition->items; name != nullptr; name = name->next)
        arguments.push_back(name->name);
    method->setArguments(std::move(arguments));
    CodeGenerator generator(*method, m_diagnostics);
    if (!generator.generateMethod(definition->first)) {
        m_diagnostics.push_back({definition->span.firstLine, definition->span.firstColumn,
                                 text::format("method \"%s\" was not installed", definition->name->c_str())});
        method.reset();
    }
    m_methods.push_back({definition, std::move(method)});
}

std::string Compiler::errorText() const
{
    return text::format("Syntax error at line #%u:%u", m_error.line, m_error.column);
}

std::vector<Diagnostic> Compiler::install(InstallTarget& target) const
{
    for (const Node* definition : m_tree.definitions()) {
        if (definition->kind != NodeKind::Declaration)
            continue;
        for (const Node* name = definition->items; name != nullptr; name = name->next)
            target.declareScriptVariable(name->name);
    }
    for (const Generated& generated : m_methods) {
        if (generated.method == nullptr)
            continue;
        auto method = std::make_unique<CompiledMethod>(*generated.method);
        method->bindScriptVariables(target);
        target.installMethod(std::move(method));
    }
    return m_diagnostics;
}

} // namespace zeb::script
