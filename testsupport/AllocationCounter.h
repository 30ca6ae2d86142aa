#pragma once

#include <cstddef>

namespace zeb::testsupport {

// Counts the allocations made through the global operator new while an instance lives, on
// every thread. A program that links this replaces the global allocation functions (all of
// their ordinary, array and no-throw forms, so that sanitizers see matching pairs).
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // Allocations since this counter was made.
    std::size_t count() const;

private:
    std::size_t m_start;
};

} // namespace zeb::testsupport
