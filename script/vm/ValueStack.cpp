#include "script/vm/ValueStack.h"

#include <algorithm>
#include <new>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace zeb::script::vm {

namespace {

// Values made at once when the stack grows: a few pages, so a deepening recursion grows it
// rarely.
constexpr std::ptrdiff_t kGrowth = 4096;

} // namespace

ValueStack::ValueStack(std::size_t capacity)
    : m_values(static_cast<Value*>(::operator new(capacity * sizeof(Value))))
    , m_made(m_values)
    , m_end(m_values + capacity)
{
    // Under AddressSanitizer a use of a value never made is reported where it happens.
    ASAN_POISON_MEMORY_REGION(m_values, capacity * sizeof(Value));
}

ValueStack::~ValueStack()
{
    std::destroy(m_values, m_made);
    ASAN_UNPOISON_MEMORY_REGION(m_values, static_cast<std::size_t>(m_end - m_values) * sizeof(Value));
    ::operator delete(m_values);
}

void ValueStack::grow(const Value* top)
{
    const Value* least = m_made + std::min(kGrowth, m_end - m_made);
    const Value* target = std::min<const Value*>(m_end, std::max(top, least));
    ASAN_UNPOISON_MEMORY_REGION(m_made, static_cast<std::size_t>(target - m_made) * sizeof(Value));
    for (; m_made < target; ++m_made)
        new (m_made) Value();
}

} // namespace zeb::script::vm
