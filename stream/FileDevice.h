#pragma once

#include "stream/StreamDevice.h"

#include <optional>
#include <string_view>

namespace zeb::stream {

// A file as a transport. Modes are those of the standard file-open: "r", "w" (create,
// truncate) or "a" (create, append) first, then at most one "+" (read and write) and at most
// one of "t" or "b", in either order. Anything else is refused.
//
// A path "<address>//<path>" whose address is that of an open stream names a file on the far
// side of that stream; such files are reached through remote file requests, which this
// transport does not carry yet, so opening one fails.
class FileDevice : public StreamDevice
{
public:
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
    bool isOpen() const override { return m_fd >= 0; }
    std::uint64_t size() const override;
    bool endOfFile() const override { return m_endOfFile; }
    bool atEnd() const override { return m_fd < 0 || m_endOfFile; }

private:
    StreamStatus openLocal(std::string_view path, int flags);
    StreamStatus openRemote(IOSTStream& via, std::string_view path, std::string_view mode);

    int m_fd = -1;
    bool m_endOfFile = false;
};

} // namespace zeb::stream
