// Numbers in the C locale, whatever locale the process runs in.
#pragma once

#include <locale.h>

namespace zeb::text {

// The C locale as an object for the *_l functions (strtod_l, ...). Qt sets the user's locale at
// start-up, and under one with a decimal comma the plain C library functions would write and
// read "1,0": every stored or sent number would change meaning.
locale_t cLocale();

// While alive, the calling thread formats and reads numbers in the C locale; the thread's
// previous locale comes back when it goes. Other threads are unaffected, and nothing allocates.
class CNumericScope
{
public:
    CNumericScope()
        : m_previous(uselocale(cLocale()))
    {
    }
    ~CNumericScope() { uselocale(m_previous); }
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    locale_t m_previous;
};

} // namespace zeb::text
