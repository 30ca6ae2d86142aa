// Feeds arbitrary 96-byte listing entries (as a peer sends them) through the checks a copy
// makes before it names anything after them: whatever the bytes, a joined name stays one
// plain entry of the folder.

#include "stream/rpc/DirectoryEntry.h"
#include "stream/rpc/EntryName.h"
#include "stream/rpc/RequestCode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb::stream::rpc;
    std::uint8_t bytes[kEntrySize] = {};
    for (std::size_t i = 0; i < size && i < kEntrySize; ++i)
        bytes[i] = data[i];
    const auto entry = DirectoryEntry::decode(bytes);
    if (!entry)
        std::abort();
    constexpr std::string_view folder = "/target";
    const auto joined = EntryName::join(folder, entry->name);
    if (!joined)
        return 0;
    const std::string_view name = std::string_view(*joined).substr(folder.size() + 1);
    if (joined->substr(0, folder.size() + 1) != "/target/" || name.empty() || name == "." || name == ".."
        || name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        std::abort();
    return 0;
}
