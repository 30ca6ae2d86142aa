#include "script/vm/ValueStack.h"

#include <algorithm>
#include <new>

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
}

ValueStack::~ValueStack()
{
    std::destroy(m_values, m_made);
    ::operator delete(m_values);
}

void ValueStack::grow(const Value* top)
{
    const Value* least = m_made + std::min(kGrowth, m_end - m_made);
    const Value* target = std::min<const Value*>(m_end, std::max(top, least));
    for (; m_made < target; ++m_made)
        new (m_made) Value();
}

} // namespace zeb::script::vm
