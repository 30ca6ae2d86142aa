#include "script/vm/Heap.h"

#include <gtest/gtest.h>

using namespace zeb::script::vm;

namespace {

std::unique_ptr<Object> plainObject()
{
    return std::make_unique<Object>(nullptr);
}

TEST(Heap, StaleHandleOfAReusedPlaceFindsNothing)
{
    Heap heap;
    const Handle first = heap.add(plainObject(), 1);
    ASSERT_NE(heap.get(first), nullptr);
    EXPECT_TRUE(heap.remove(first));
    EXPECT_FALSE(heap.remove(first)); // deleting twice does nothing
    const Handle second = heap.add(plainObject(), 1);
    EXPECT_EQ(second.index, first.index);
    EXPECT_EQ(heap.get(first), nullptr);
    EXPECT_NE(heap.get(second), nullptr);
    EXPECT_EQ(heap.get(Handle{999, 1}), nullptr);
}

TEST(Heap, RemovesOnlyWhatAnOwnerMadeAndNeverClasses)
{
    Heap heap;
    const Handle mine = heap.add(plainObject(), 7);
    const Handle other = heap.add(plainObject(), 8);
    const Handle cls = heap.add(std::make_unique<ClassObject>(nullptr, nullptr, nullptr), 7);
    const std::uint64_t removals = heap.removals();
    heap.removeOwnedBy(7);
    EXPECT_EQ(heap.get(mine), nullptr);
    EXPECT_NE(heap.get(other), nullptr);
    EXPECT_NE(heap.get(cls), nullptr);
    EXPECT_FALSE(heap.remove(cls));
    EXPECT_EQ(heap.removals(), removals + 1);
}

} // namespace
