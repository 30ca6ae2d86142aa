#include "script/vm/Heap.h"

namespace zeb::script::vm {

Handle Heap::add(std::unique_ptr<Object> object, Owner owner)
{
    std::uint32_t index = 0;
    if (!m_free.empty()) {
        index = m_free.back();
        m_free.pop_back();
    } else {
        if (m_slots.size() >= kMaxObjects)
            return Handle{0, 0}; // generation 0 is never live
        index = static_cast<std::uint32_t>(m_slots.size());
        m_slots.emplace_back();
    }
    Slot& slot = m_slots[index];
    const Handle handle{index, slot.generation};
    object->setHandle(handle);
    slot.object = std::move(object);
    slot.owner = owner;
    return handle;
}

bool Heap::remove(Handle handle)
{
    Object* object = get(handle);
    if (object == nullptr || !object->deletable())
        return false;
    Slot& slot = m_slots[handle.index];
    // The object's values may name other objects of this heap: free it after its place is reused-safe.
    std::unique_ptr<Object> doomed = std::move(slot.object);
    if (++slot.generation == 0)
        slot.generation = 1;
    m_free.push_back(handle.index);
    ++m_removals;
    doomed.reset();
    return true;
}

void Heap::removeOwnedBy(Owner owner)
{
    for (std::uint32_t index = 0; index < m_slots.size(); ++index) {
        const Slot& slot = m_slots[index];
        if (slot.object && slot.owner == owner)
            remove(Handle{index, slot.generation});
    }
}

} // namespace zeb::script::vm
