#pragma once

#include "platform/Types.h"
#include "stream/StreamStatus.h"
#include "stream/rpc/RequestCode.h"

#include <string_view>

namespace zeb::stream::rpc {

// Copies a file or a directory between local paths and remote paths ("<address>//<path>", the
// address being that of an open stream), in any combination. Files go in blocks of 512 bytes;
// a directory is copied entry by entry ("%s/%s"); an entry whose name is not one plain name
// ends the copy with 54, as does a tree deeper than kMaxTreeDepth or with more than
// kMaxTreeEntries entries. When a window is given, it is posted
// "ON_THREAD" (wParam 1, lParam the percentage) each time the whole percentage of the file
// being copied changes.
class FileCopy
{
public:
    static constexpr std::size_t kBlock = 512;
    // Directories nested deeper than this are not followed (a loop of links would never end).
    static constexpr int kMaxDepth = kMaxTreeDepth;

    // 0; 54 when a side cannot be opened, read or listed, or a write comes up short; 59 when
    // the far side stops answering.
    static StreamStatus copy(std::string_view from, std::string_view to, platform::Handle window = platform::kNoHandle);
};

} // namespace zeb::stream::rpc
