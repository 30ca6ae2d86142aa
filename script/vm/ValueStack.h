// The value stack of a script thread: room for a fixed number of values, of which only those the
// thread has reached were ever made. A thread that stays shallow touches a few pages of it.
#pragma once

#include "script/vm/Value.h"

#include <cstddef>

namespace zeb::script::vm {

class ValueStack
{
public:
    explicit ValueStack(std::size_t capacity);
    ~ValueStack();
    ValueStack(const ValueStack&) = delete;
    ValueStack& operator=(const ValueStack&) = delete;

    Value* begin() const { return m_values; }
    Value* end() const { return m_end; }
    // Makes every value below top (at most end()) before anyone reads or assigns it.
    void reach(const Value* top)
    {
        if (top > m_made)
            grow(top);
    }

private:
    void grow(const Value* top);

    Value* m_values;
    Value* m_made;
    Value* m_end;
};

} // namespace zeb::script::vm
