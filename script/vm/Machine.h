// The classes, globals and heap that runs share, with method lookup and its cache.
#pragma once

#include "script/front/SymbolTable.h"
#include "script/vm/Heap.h"
#include "script/vm/Method.h"
#include "script/vm/ScriptLock.h"

#include <array>
#include <memory>
#include <unordered_map>

namespace zeb::script::vm {

class AlarmClock;

class Machine
{
public:
    struct Classes
    {
        ClassObject* object = nullptr;
        ClassObject* classClass = nullptr;
        ClassObject* undefined = nullptr;
        ClassObject* number = nullptr;
        ClassObject* integer = nullptr;
        ClassObject* character = nullptr;
        ClassObject* buffer = nullptr;
        ClassObject* string = nullptr;
        ClassObject* array = nullptr;
        ClassObject* thread = nullptr;
    };

    // The selectors the machine itself sends or answers inline.
    struct Names
    {
        Name print = SymbolTable::intern("print");
        Name doesNotUnderstand = SymbolTable::intern("doesNotUnderstand:");
        Name main = SymbolTable::intern("main");
    };

    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    Heap& heap() { return m_heap; }
    ScriptLock& scriptLock() { return m_lock; }
    AlarmClock& alarms() { return *m_alarms; }
    const Classes& classes() const { return m_classes; }
    const Names& names() const { return m_names; }

    // A new class bound as a global under its name.
    ClassObject* defineClass(std::string_view name, ClassObject* superclass);
    Heap::Owner newOwner() { return ++m_lastOwner; }

    Object* object(const Value& value) const
    {
        return value.tag() == Tag::Object ? m_heap.get(value.asHandle()) : nullptr;
    }
    ClassObject* classOf(const Value& value) const;

    // The receiver's own table, then its class chain (cached by class and selector).
    const MethodEntry* lookup(const Value& receiver, Name selector);

    Value global(Name name) const;
    void setGlobal(Name name, const Value& value) { m_globals[name] = value; }

    // Changes whenever a method is installed or an object deleted: send-site caches compare it.
    std::uint64_t methodsVersion() const { return m_methodsVersion + m_heap.removals(); }
    void methodsChanged() { ++m_methodsVersion; }

    // The inline rule of a selector.
    Inline inlineOf(Name selector) const;

private:
    struct CacheEntry
    {
        const ClassObject* owner = nullptr;
        Name selector = nullptr;
        const MethodEntry* entry = nullptr;
    };

    const MethodEntry* cachedLookup(const ClassObject* start, Name selector);

    ScriptLock m_lock;
    Heap m_heap;
    Classes m_classes;
    Names m_names;
    Heap::Owner m_lastOwner = 0;
    std::uint64_t m_methodsVersion = 1;
    std::unordered_map<Name, Value> m_globals;
    std::unordered_map<Name, Inline> m_inlines;
    // Class tables are filled when the machine is made and never change after, so the cache is
    // never invalidated.
    std::array<CacheEntry, 1024> m_cache{};
    // Last: its thread stops before anything it delivers to goes.
    std::unique_ptr<AlarmClock> m_alarms;
};

} // namespace zeb::script::vm
