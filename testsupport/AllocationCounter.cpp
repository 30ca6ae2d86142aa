#include "testsupport/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int> g_counters{0};
std::atomic<std::size_t> g_allocations{0};

void* allocate(std::size_t size)
{
    if (g_counters.load(std::memory_order_relaxed) > 0)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size)
{
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}

} // namespace

namespace zeb::testsupport {

AllocationCounter::AllocationCounter()
    : m_start(g_allocations.load())
{
    g_counters.fetch_add(1);
}

AllocationCounter::~AllocationCounter()
{
    g_counters.fetch_sub(1);
}

std::size_t AllocationCounter::count() const
{
    return g_allocations.load() - m_start;
}

} // namespace zeb::testsupport

// GCC cannot see that the operator new below is what allocated the blocks freed here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size)
{
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
