// Directory entries as a far side lists them: decoded, checked and turned into the explorer's
// column texts and order, whatever their bytes.
#include "explorer/core/EntryOrder.h"
#include "explorer/core/EntryTexts.h"
#include "explorer/core/RemoteLocation.h"
#include "stream/rpc/RequestCode.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb;
    constexpr std::size_t kEntry = stream::rpc::kEntrySize;
    std::optional<stream::rpc::DirectoryEntry> previous;
    const explorer::RemoteLocation folder("/dev/client/rx/1", "/ide0a");
    for (std::size_t at = 0; at + kEntry <= size; at += kEntry) {
        auto entry = stream::rpc::DirectoryEntry::decode(std::span<const std::uint8_t>(data + at, kEntry));
        if (!entry)
            continue;
        (void)explorer::EntryTexts::size(*entry);
        (void)explorer::EntryTexts::type(*entry);
        (void)explorer::EntryTexts::modified(*entry);
        (void)explorer::EntryTexts::attributes(*entry);
        if (auto path = folder.childPath(entry->name); path && path->find("//") != std::string::npos)
            __builtin_trap();
        if (previous) {
            for (int key : {1, -1, 2, -2, 4, -4})
                (void)explorer::EntryOrder::before(*previous, *entry, key);
        }
        previous = std::move(entry);
    }
    if (size >= 2)
        (void)explorer::EntryTexts::remaining(data[0], data[1]);
    return 0;
}
