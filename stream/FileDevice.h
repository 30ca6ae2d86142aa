#pragma once

#include "stream/StreamDevice.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace zeb::stream {

// A file as a transport. Modes are those of the standard file-open: "r", "w" (create,
// truncate) or "a" (create, append) first, then at most one "+" (read and write), at most
// one of "t" or "b", and after "w" at most one "x" (create only: an existing file is not
// opened), in any order. Anything else is refused.
//
// A path "<address>//<path>" whose address is that of an open stream names a file on the far
// side of that stream; such files are reached through remote file requests, which the remote
// request library plugs in with setRemoteOpener(). Without it, opening one fails.
class FileDevice : public StreamDevice
{
public:
    // A file on the far side of a stream. Every operation is one request answered by the peer.
    class RemoteFile
    {
    public:
        virtual ~RemoteFile() = default;
        // -1 on failure.
        virtual std::int64_t read(std::uint8_t* buffer, std::size_t maximum) = 0;
        virtual std::int64_t write(const std::uint8_t* bytes, std::size_t count) = 0;
        // The new position, or -1. `origin` is SEEK_SET, SEEK_CUR or SEEK_END.
        virtual std::int64_t seek(std::int64_t offset, int origin) = 0;
        virtual std::int64_t length() = 0;
        virtual bool close() = 0;
    };
    // Opens `path` on the far side of `via` with open(2) flags; null on failure.
    using RemoteOpener = std::unique_ptr<RemoteFile> (*)(IOSTStream& via, std::string_view path, int flags);
    static void setRemoteOpener(RemoteOpener opener);

    FileDevice() = default;
    ~FileDevice() override;

    // The open(2) flags of a mode string, or none when the mode is refused.
    static std::optional<int> openFlags(std::string_view mode);

    // The record's file path, mode "w+b".
    StreamStatus open(const StreamAddress& address) override;
    StreamStatus open(std::string_view path, std::string_view mode);
    StreamStatus close() override;
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) override;
    StreamStatus rewind() override;
    bool isOpen() const override { return m_fd >= 0 || m_remote != nullptr; }
    bool isRemote() const { return m_remote != nullptr; }
    // The new position, or -1.
    std::int64_t seek(std::int64_t offset, int origin);
    std::uint64_t size() const override;
    bool endOfFile() const override { return m_endOfFile; }
    bool atEnd() const override { return !isOpen() || m_endOfFile; }

private:
    StreamStatus openLocal(std::string_view path, int flags);
    StreamStatus openRemote(IOSTStream& via, std::string_view path, std::string_view mode);

    int m_fd = -1;
    std::unique_ptr<RemoteFile> m_remote;
    bool m_endOfFile = false;
};

} // namespace zeb::stream
