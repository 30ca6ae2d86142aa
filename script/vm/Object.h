// Heap objects: the common part every object has, and the kinds with native state.
#pragma once

#include "script/front/SymbolTable.h"
#include "script/vm/Method.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace zeb::script::vm {

class ClassObject;

class Object
{
public:
    explicit Object(ClassObject* objectClass)
        : m_class(objectClass)
    {
    }
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ClassObject* objectClass() const { return m_class; }
    void setClass(ClassObject* objectClass) { m_class = objectClass; }
    Handle handle() const { return m_handle; }
    void setHandle(Handle handle) { m_handle = handle; }

    // Methods of this object alone (the script object's, a class's class side); nullptr when none.
    const MethodEntry* ownMethod(Name selector) const
    {
        if (!m_methods)
            return nullptr;
        const auto found = m_methods->find(selector);
        return found == m_methods->end() ? nullptr : &found->second;
    }
    void setOwnMethod(Name selector, MethodEntry entry);
    bool hasOwnMethods() const { return m_methods != nullptr; }

    std::unordered_map<Name, Value>& variables() { return m_variables; }
    const std::unordered_map<Name, Value>& variables() const { return m_variables; }

    // Classes outlive every run: delete leaves them alone.
    virtual bool deletable() const { return true; }

private:
    ClassObject* m_class;
    Handle m_handle;
    std::unique_ptr<std::unordered_map<Name, MethodEntry>> m_methods;
    std::unordered_map<Name, Value> m_variables;
};

class ClassObject : public Object
{
public:
    ClassObject(ClassObject* metaClass, Name name, ClassObject* superclass)
        : Object(metaClass)
        , m_name(name)
        , m_superclass(superclass)
    {
    }

    Name name() const { return m_name; }
    ClassObject* superclass() const { return m_superclass; }
    void define(Name selector, MethodEntry entry)
    {
        entry.owner = this;
        m_instanceMethods[selector] = entry;
    }
    // This class's instance method, then its superclasses'.
    const MethodEntry* lookup(Name selector) const;
    bool deletable() const override { return false; }

private:
    Name m_name;
    ClassObject* m_superclass;
    std::unordered_map<Name, MethodEntry> m_instanceMethods;
};

class ArrayObject : public Object
{
public:
    ArrayObject(ClassObject* arrayClass, std::size_t size)
        : Object(arrayClass)
        , m_elements(size)
    {
    }
    std::vector<Value>& elements() { return m_elements; }

private:
    std::vector<Value> m_elements;
};

} // namespace zeb::script::vm
