#pragma once

#include "platform/Types.h"
#include "stream/StreamStatus.h"
#include "stream/rpc/RequestCode.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

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

    // One end of a copy: a local path when `via` is null, else a path on the far side of `via`.
    struct Place
    {
        IOSTStream* via = nullptr;
        std::string path;
    };
    struct Control
    {
        // Posted "ON_THREAD" 1 with the percentage, as above; none: nothing posted.
        platform::Handle window = platform::kNoHandle;
        // Told, after each block, the bytes copied of the file being copied and its length.
        std::function<void(std::uint64_t copied, std::uint64_t total)> progress;
        // Once set, the copy ends before its next block with 54.
        const std::atomic<bool>* stop = nullptr;
    };

    // 0; 54 when a side cannot be opened, read or listed, or a write comes up short; 59 when
    // the far side stops answering. A file whose copy fails or is stopped is removed, so that
    // no half of it passes for the whole. A remote path whose stream is not open fails with 54:
    // it never names a local file instead.
    static StreamStatus copy(std::string_view from, std::string_view to, platform::Handle window = platform::kNoHandle);
    static StreamStatus copy(const Place& from, const Place& to, const Control& control);
};

} // namespace zeb::stream::rpc
