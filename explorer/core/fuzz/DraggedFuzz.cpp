// The explorer's drag and clipboard format as any program may put it there: every entry read back
// names one entry of an addressed far side, and writes back as itself.
#include "explorer/core/DraggedEntries.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb::explorer;
    const auto entries = DraggedEntries::read(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const RemoteLocation& entry : entries) {
        if (entry.address().empty() || DraggedEntries::read(DraggedEntries::write({entry})).size() != 1)
            __builtin_trap();
        (void)DraggedEntries::fit(entry, entry.up());
    }
    return 0;
}
