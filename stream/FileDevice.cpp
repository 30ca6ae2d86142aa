#include "stream/FileDevice.h"

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamHandle.h"
#include "stream/StreamRegistry.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zeb::stream {

namespace {

constexpr mode_t kCreateMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;

std::atomic<FileDevice::RemoteOpener> g_remoteOpener{nullptr};

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
    bool exclusive = false;
    for (const char letter : mode.substr(1)) {
        if (letter == '+' && !plus)
            plus = true;
        else if (letter == 'x' && !exclusive && mode.front() == 'w')
            exclusive = true; // never replaces an existing file
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
        return access | O_CREAT | (exclusive ? O_EXCL : O_TRUNC);
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
        // Pinned: the stream may be a peer stream that its server destroys at any moment.
        const StreamHandle::Pin via = StreamHandle::pinByAddress(remote->first);
        if (via && (*via).isOpen())
            return openRemote(*via, remote->second, mode);
        // Never the local file of that name: a closed connection would otherwise read or
        // overwrite this machine's files through a path meant for the far side.
        setErrorText("no open connection for " + remote->first + "//: connect first");
        return StreamStatus::OpenFailed;
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
    // Opening a FIFO waits for its other end, which may never come: the open itself never
    // blocks (a FIFO without a reader then refuses a writer), and reads and writes block as
    // they do on any file.
    do {
        fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, kCreateMode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        setErrorText("cannot open " + name);
        return StreamStatus::OpenFailed;
    }
    if (const int status = ::fcntl(fd, F_GETFL); status >= 0)
        (void)::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    m_fd = fd;
    m_endOfFile = false;
    return StreamStatus::Ok;
}

void FileDevice::setRemoteOpener(RemoteOpener opener)
{
    g_remoteOpener.store(opener);
}

StreamStatus FileDevice::openRemote(IOSTStream& via, std::string_view path, std::string_view mode)
{
    const RemoteOpener opener = g_remoteOpener.load();
    const std::optional<int> flags = openFlags(mode);
    if (!opener || !flags) {
        setErrorText(opener ? "invalid file mode" : "remote files are not available");
        return StreamStatus::OpenFailed;
    }
    m_remote = opener(via, path, *flags);
    if (!m_remote) {
        setErrorText("cannot open remote file " + std::string(path));
        return StreamStatus::OpenFailed;
    }
    m_endOfFile = false;
    return StreamStatus::Ok;
}

std::int64_t FileDevice::seek(std::int64_t offset, int origin)
{
    m_endOfFile = false;
    if (m_remote)
        return m_remote->seek(offset, origin);
    if (m_fd < 0)
        return -1;
    return ::lseek(m_fd, static_cast<off_t>(offset), origin);
}

StreamStatus FileDevice::close()
{
    if (m_remote) {
        const bool closed = m_remote->close();
        m_remote.reset();
        m_endOfFile = false;
        return closed ? StreamStatus::Ok : StreamStatus::CloseFailed;
    }
    if (m_fd < 0)
        return StreamStatus::CloseFailed;
    const int result = ::close(m_fd);
    m_fd = -1;
    m_endOfFile = false;
    return result == 0 ? StreamStatus::Ok : StreamStatus::CloseFailed;
}

std::size_t FileDevice::read(std::uint8_t* buffer, std::size_t maximum, bool)
{
    if (m_remote && buffer && maximum > 0) {
        const std::int64_t got = m_remote->read(buffer, maximum);
        m_endOfFile = got == 0;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
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
    if (m_remote && bytes) {
        const std::int64_t put = m_remote->write(bytes, count);
        return put > 0 ? static_cast<std::size_t>(put) : 0;
    }
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
    if (seek(0, SEEK_SET) < 0)
        return StreamStatus::NotOpen;
    m_endOfFile = false;
    return StreamStatus::Ok;
}

std::uint64_t FileDevice::size() const
{
    if (m_remote) {
        const std::int64_t length = m_remote->length();
        return length > 0 ? static_cast<std::uint64_t>(length) : 0;
    }
    struct stat info
    { };
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

} // namespace zeb::stream
