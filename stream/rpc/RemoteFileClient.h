#pragma once

#include "stream/StreamStatus.h"
#include "stream/rpc/DirectoryEntry.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::stream::rpc {

class RemoteFileRequest;

// The file operations of the far side of a stream, each one call. Failures come back as the
// operation's failure value (-1, a status of 54, type 7); lastStatus() tells whether the call
// itself failed (59 without a reply). One client may be used from several threads; its calls
// then run one after the other.
class RemoteFileClient
{
public:
    explicit RemoteFileClient(IOSTStream& via, std::chrono::milliseconds timeout = RemoteRequests::kCallTimeout);
    ~RemoteFileClient();
    RemoteFileClient(const RemoteFileClient&) = delete;
    RemoteFileClient& operator=(const RemoteFileClient&) = delete;

    IOSTStream& stream() const { return m_via; }
    StreamStatus lastStatus() const { return m_lastStatus; }

    // A handle, or -1. `flags` are open(2) flags.
    std::int64_t open(std::string_view path, int flags, std::uint32_t permission = 0644);
    // At most 512 bytes per call; 0 at the end of the file, -1 on failure.
    std::int64_t read(std::uint32_t handle, std::uint8_t* buffer, std::size_t maximum);
    // Writes all of it in pieces; the count written, or -1 when nothing was.
    std::int64_t write(std::uint32_t handle, const std::uint8_t* bytes, std::size_t count);
    bool close(std::uint32_t handle);
    // The new position, or -1.
    std::int64_t seek(std::uint32_t handle, std::int32_t offset, int origin);
    std::int64_t length(std::uint32_t handle);

    // 1 directory, 2 regular file, 7 not found (also when the call fails), others as listed.
    std::uint32_t fileType(std::string_view path);
    StreamStatus remove(std::string_view path);
    StreamStatus rename(std::string_view from, std::string_view to);
    StreamStatus makeDirectory(std::string_view path);
    // Every entry of a directory; 54 when it cannot be listed.
    StreamStatus list(std::string_view path, std::vector<DirectoryEntry>& entries);
    // Hands each entry to `each` as it arrives, at most `maximum` of them; `each` answers false
    // to end the listing there (0 then). 54 when it cannot be listed or the far side lists more.
    using EachEntry = std::function<bool(DirectoryEntry&& entry)>;
    StreamStatus list(std::string_view path, const EachEntry& each, std::size_t maximum = kMaxListing);
    std::optional<std::string> uniqueName(std::string_view pattern);

private:
    // Runs the request built by `build` and starts reading the reply; false when the call failed.
    template <typename Build>
    bool exchange(std::uint32_t code, Build&& build);
    std::int64_t signedWord();
    StreamStatus statusByte();

    IOSTStream& m_via;
    std::chrono::milliseconds m_timeout;
    std::mutex m_mutex;
    std::unique_ptr<RemoteFileRequest> m_record;
    StreamStatus m_lastStatus = StreamStatus::Ok;
};

} // namespace zeb::stream::rpc
