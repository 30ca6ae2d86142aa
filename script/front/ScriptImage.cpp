#include "script/front/ScriptImage.h"

namespace zeb::script {

void ScriptImage::installMethod(std::unique_ptr<CompiledMethod> method)
{
    const Name selector = method->selector();
    m_methods[selector] = std::move(method);
}

const CompiledMethod* ScriptImage::method(std::string_view selector) const
{
    const Name name = SymbolTable::intern(selector);
    const auto found = m_methods.find(name);
    return found == m_methods.end() ? nullptr : found->second.get();
}

} // namespace zeb::script
