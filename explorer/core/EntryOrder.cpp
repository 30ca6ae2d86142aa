#include "explorer/core/EntryOrder.h"

#include "stream/rpc/RequestCode.h"

#include <cstdlib>
#include <strings.h>

namespace zeb::explorer {

namespace {

int compareNames(const stream::rpc::DirectoryEntry& a, const stream::rpc::DirectoryEntry& b)
{
    return ::strcasecmp(a.name.c_str(), b.name.c_str());
}

template <typename T>
int compareValues(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

// A three-way comparison of the two entries under `key`.
int compare(const stream::rpc::DirectoryEntry& a, const stream::rpc::DirectoryEntry& b, int key)
{
    const int sign = key < 0 ? -1 : 1;
    switch (std::abs(key)) {
    case EntryOrder::kSize:
        if (a.type != b.type)
            return compareValues(a.type, b.type);
        if (a.type == stream::rpc::file_type::Directory)
            return compareNames(a, b);
        if (a.size != b.size)
            return sign * compareValues(a.size, b.size);
        return sign * compareNames(a, b);
    case EntryOrder::kTime:
        if (a.time != b.time)
            return sign * compareValues(a.time, b.time);
        return sign * compareNames(a, b);
    default:
        if (a.type != b.type)
            return compareValues(a.type, b.type);
        return sign * compareNames(a, b);
    }
}

} // namespace

int EntryOrder::clicked(int key, int code)
{
    return key == code ? -code : code;
}

bool EntryOrder::before(const stream::rpc::DirectoryEntry& a, const stream::rpc::DirectoryEntry& b, int key)
{
    return compare(a, b, key) < 0;
}

} // namespace zeb::explorer
