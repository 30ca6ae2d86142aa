#include "stream/FileDevice.h"

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamRegistry.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zeb::stream {

namespace {

constexpr mode_t kCreateMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;

} // namespace

FileDevice::~FileDevice()
{
    close();
}

std::optional<int> FileDevice::openFlags(std::string_view mode)
{
    if (mode.empty())
        return std::nullopt;
    bool plus = false;
    bool textOrBinary = false;
    for (const char letter : mode.substr(1)) {
        if (letter == '+' && !plus)
            plus = true;
        else if ((letter == 't' || letter == 'b') && !textOrBinary)
            textOrBinary = true;
        else
            return std::nullopt; // a second "+", "t" with "b", a second access letter, or junk
    }
    const int access = plus ? O_RDWR : O_WRONLY;
    switch (mode.front()) {
    case 'r':
        return plus ? O_RDWR : O_RDONLY;
    case 'w':
        return access | O_CREAT | O_TRUNC;
    case 'a':
        return access | O_CREAT | O_APPEND;
    default:
        return std::nullopt;
    }
}

StreamStatus FileDevice::open(const StreamAddress& address)
{
    return open(address.filePath, "w+b");
}

StreamStatus FileDevice::open(std::string_view path, std::string_view mode)
{
    close();
    if (auto remote = splitRemotePath(path)) {
        IOSTStream* via = StreamRegistry::instance().byAddress(remote->first);
        if (via && via->isOpen())
            return openRemote(*via, remote->second, mode);
    }
    const std::optional<int> flags = openFlags(mode);
    if (!flags) {
        setErrorText("invalid file mode");
        return StreamStatus::OpenFailed;
    }
    return openLocal(path, *flags);
}

StreamStatus FileDevice::openLocal(std::string_view path, int flags)
{
    // A path with a zero byte in it would silently name a different file.
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return StreamStatus::OpenFailed;
    const std::string name(path);
    int fd = -1;
    do {
        fd = ::open(name.c_str(), flags | O_CLOEXEC, kCreateMode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        setErrorText("cannot open " + name);
        return StreamStatus::OpenFailed;
    }
    m_fd = fd;
    m_endOfFile = false;
    return StreamStatus::Ok;
}

// Files on the far side of another stream travel in remote file requests; until those are
// carried, such a path cannot be opened.
StreamStatus FileDevice::openRemote(IOSTStream&, std::string_view, std::string_view)
{
    setErrorText("remote files are not available");
    return StreamStatus::OpenFailed;
}

StreamStatus FileDevice::close()
{
    if (m_fd < 0)
        return StreamStatus::CloseFailed;
    const int result = ::close(m_fd);
    m_fd = -1;
    m_endOfFile = false;
    return result == 0 ? StreamStatus::Ok : StreamStatus::CloseFailed;
}

std::size_t FileDevice::read(std::uint8_t* buffer, std::size_t maximum, bool)
{
    if (m_fd < 0 || !buffer || maximum == 0)
        return 0;
    ssize_t got = 0;
    do {
        got = ::read(m_fd, buffer, maximum);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        m_endOfFile = got == 0;
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::size_t FileDevice::write(const std::uint8_t* bytes, std::size_t count, int, int)
{
    if (m_fd < 0 || !bytes)
        return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(m_fd, bytes + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += static_cast<std::size_t>(put);
    }
    return done;
}

StreamStatus FileDevice::rewind()
{
    if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) < 0)
        return StreamStatus::NotOpen;
    m_endOfFile = false;
    return StreamStatus::Ok;
}

std::uint64_t FileDevice::size() const
{
    struct stat info
    { };
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

} // namespace zeb::stream
