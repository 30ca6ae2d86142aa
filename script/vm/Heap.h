// Every object a machine made, reached through handles. A deleted object's place gets a new
// generation, so a value that still names it reads as nil instead of touching freed memory.
#pragma once

#include "script/vm/Object.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zeb::script::vm {

class Heap
{
public:
    // Who made an object: a run deletes what it made when it ends. Owner 0 is the machine.
    using Owner = std::uint32_t;
    // A script cannot make more objects than this at once.
    static constexpr std::size_t kMaxObjects = 1u << 22;

    // The handle of the object, now in the heap; a stale handle when the heap is full.
    Handle add(std::unique_ptr<Object> object, Owner owner);
    Object* get(Handle handle) const
    {
        if (handle.index >= m_slots.size() || m_slots[handle.index].generation != handle.generation)
            return nullptr;
        return m_slots[handle.index].object.get();
    }
    // Who made a live object; 0 also for a stale handle.
    Owner ownerOf(Handle handle) const { return get(handle) != nullptr ? m_slots[handle.index].owner : 0; }
    // False when the object was already gone or cannot be deleted.
    bool remove(Handle handle);
    void removeOwnedBy(Owner owner);
    std::size_t size() const { return m_slots.size() - m_free.size(); }
    // Grows at every delete: an object's memory may then hold another object.
    std::uint64_t removals() const { return m_removals; }

private:
    struct Slot
    {
        std::unique_ptr<Object> object;
        std::uint32_t generation = 1;
        Owner owner = 0;
    };

    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_free;
    std::uint64_t m_removals = 0;
};

} // namespace zeb::script::vm
