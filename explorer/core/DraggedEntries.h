#pragma once

#include "explorer/core/RemoteLocation.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::explorer {

// The entries an explorer hands to a drop or to the clipboard, as the text of its own format:
// each entry's remote path ("<address>//<path>") on a line of its own. The text may come from
// anywhere (another program can put that format on the clipboard), so reading it keeps only
// lines that name one entry of a far-side folder, and at most kMaxEntries of them.
class DraggedEntries
{
public:
    static constexpr std::size_t kMaxEntries = 1024;
    static constexpr std::size_t kMaxLine = 1024;

    // What a drop into a folder does with one entry.
    enum class Fit { Copy, SameFolder, IntoItself };

    // Entries whose names hold a line break are left out: they would read back as other paths.
    static std::string write(const std::vector<RemoteLocation>& entries);
    static std::vector<RemoteLocation> read(std::string_view text);

    // The entry's own name, the last part of its path.
    static std::string nameOf(const RemoteLocation& entry);
    // An entry dropped into the folder it is in changes nothing; a folder dropped into itself
    // or a folder inside it would copy itself without end.
    static Fit fit(const RemoteLocation& entry, const RemoteLocation& folder);
};

} // namespace zeb::explorer
