#pragma once

#include "stream/rpc/DirectoryEntry.h"

#include <cstdint>
#include <string>

namespace zeb::explorer {

// The texts the explorer shows for a listed entry, one per column, and for a copy's progress.
class EntryTexts
{
public:
    // "%u Kb" (size / 1024) from 1024 bytes on, else "%u b"; empty for anything but a regular file.
    static std::string size(const stream::rpc::DirectoryEntry& entry);
    // "File Folder", "Regular file", "Special Character", "Special Block", "Fifo", or "Undefined".
    static std::string type(const stream::rpc::DirectoryEntry& entry);
    // Local time "day/month/year hh:mm:ss"; empty when the time cannot be converted.
    static std::string modified(const stream::rpc::DirectoryEntry& entry);
    // "drwxr-xr-x" from the type and the nine permission bits.
    static std::string attributes(const stream::rpc::DirectoryEntry& entry);

    // The time left of a copy `percent` done after `elapsedSeconds`, "finished" when nothing is
    // left; empty before any progress or time has passed.
    static std::string remaining(std::uint64_t elapsedSeconds, unsigned percent);
};

} // namespace zeb::explorer
