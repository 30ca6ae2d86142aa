#include "script/vm/Machine.h"

#include "script/vm/AlarmClock.h"
#include "script/vm/Library.h"

#include <cstdint>

namespace zeb::script::vm {

Machine::Machine()
{
    // Object and Class first: every class object is an instance of Class.
    auto object = std::make_unique<ClassObject>(nullptr, SymbolTable::intern("Object"), nullptr);
    m_classes.object = object.get();
    auto classClass = std::make_unique<ClassObject>(nullptr, SymbolTable::intern("Class"), m_classes.object);
    m_classes.classClass = classClass.get();
    object->setClass(m_classes.classClass);
    classClass->setClass(m_classes.classClass);
    setGlobal(m_classes.object->name(), Value::object(m_heap.add(std::move(object), 0)));
    setGlobal(m_classes.classClass->name(), Value::object(m_heap.add(std::move(classClass), 0)));

    m_classes.undefined = defineClass("UndefinedObject", m_classes.object);
    m_classes.number = defineClass("Number", m_classes.object);
    m_classes.integer = defineClass("Integer", m_classes.number);
    m_classes.character = defineClass("Character", m_classes.object);
    m_classes.buffer = defineClass("Buffer", m_classes.object);
    m_classes.string = defineClass("String", m_classes.buffer);
    m_classes.array = defineClass("Array", m_classes.object);
    m_classes.thread = defineClass("Thread", m_classes.object);
    m_alarms = std::make_unique<AlarmClock>(*this);

    const std::pair<const char*, Inline> inlines[] = {
        {"+", Inline::Add},
        {"-", Inline::Subtract},
        {"*", Inline::Multiply},
        {"/", Inline::Divide},
        {"<", Inline::Less},
        {">", Inline::Greater},
        {"<=", Inline::LessEqual},
        {">=", Inline::GreaterEqual},
        {"==", Inline::Equal},
        {"!=", Inline::NotEqual},
        {"increment", Inline::Increment},
        {"decrement", Inline::Decrement},
        {"at:", Inline::At},
        {"at:put:", Inline::AtPut},
    };
    for (const auto& [text, rule] : inlines)
        m_inlines[SymbolTable::intern(text)] = rule;

    Library::install(*this);
}

Machine::~Machine() = default;

ClassObject* Machine::defineClass(std::string_view name, ClassObject* superclass)
{
    auto made = std::make_unique<ClassObject>(m_classes.classClass, SymbolTable::intern(name), superclass);
    ClassObject* defined = made.get();
    setGlobal(defined->name(), Value::object(m_heap.add(std::move(made), 0)));
    return defined;
}

ClassObject* Machine::classOf(const Value& value) const
{
    switch (value.tag()) {
    case Tag::Integer:
        return m_classes.integer;
    case Tag::Number:
        return m_classes.number;
    case Tag::Character:
        return m_classes.character;
    case Tag::String:
        return m_classes.string;
    case Tag::Object:
        if (const Object* found = object(value))
            return found->objectClass();
        return m_classes.undefined; // a deleted object reads as nil
    case Tag::Nil:
    case Tag::Super:
        break;
    }
    return m_classes.undefined;
}

const MethodEntry* Machine::lookup(const Value& receiver, Name selector)
{
    if (const Object* found = object(receiver)) {
        if (const MethodEntry* own = found->ownMethod(selector))
            return own;
        return cachedLookup(found->objectClass(), selector);
    }
    return cachedLookup(classOf(receiver), selector);
}

const MethodEntry* Machine::cachedLookup(const ClassObject* start, Name selector)
{
    const auto key = (reinterpret_cast<std::uintptr_t>(start) >> 4) ^ (reinterpret_cast<std::uintptr_t>(selector) >> 3);
    CacheEntry& slot = m_cache[key % m_cache.size()];
    if (slot.owner == start && slot.selector == selector)
        return slot.entry;
    const MethodEntry* entry = start->lookup(selector);
    slot = {start, selector, entry};
    return entry;
}

Value Machine::global(Name name) const
{
    const auto found = m_globals.find(name);
    return found == m_globals.end() ? Value() : found->second;
}

Inline Machine::inlineOf(Name selector) const
{
    const auto found = m_inlines.find(selector);
    return found == m_inlines.end() ? Inline::None : found->second;
}

} // namespace zeb::script::vm
