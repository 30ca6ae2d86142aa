#include "script/vm/Object.h"

namespace zeb::script::vm {

void Object::setOwnMethod(Name selector, MethodEntry entry)
{
    if (!m_methods)
        m_methods = std::make_unique<std::unordered_map<Name, MethodEntry>>();
    (*m_methods)[selector] = entry;
}

const MethodEntry* ClassObject::lookup(Name selector) const
{
    for (const ClassObject* at = this; at != nullptr; at = at->m_superclass) {
        const auto found = at->m_instanceMethods.find(selector);
        if (found != at->m_instanceMethods.end())
            return &found->second;
    }
    return nullptr;
}

} // namespace zeb::script::vm
