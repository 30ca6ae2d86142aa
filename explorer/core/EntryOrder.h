#pragma once

#include "stream/rpc/DirectoryEntry.h"

namespace zeb::explorer {

// The explorer's sort key: a column code (1 name, 2 size, 4 time) whose sign is the direction.
class EntryOrder
{
public:
    static constexpr int kName = 1;
    static constexpr int kSize = 2;
    static constexpr int kTime = 4;

    // The key after a click on the column of `code`: that code, or its negative when the key
    // already was it.
    static int clicked(int key, int code);
    // Whether `a` goes before `b` under `key`. Name and size keep folders first whatever the
    // direction (and two folders by name, ascending, under size); names compare without case.
    static bool before(const stream::rpc::DirectoryEntry& a, const stream::rpc::DirectoryEntry& b, int key);
};

} // namespace zeb::explorer
