#include "stream/rpc/FileCopy.h"

#include "platform/Messaging.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/EntryName.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RequestCode.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zeb::stream::rpc {

namespace {

// One end of a copy: the local file system, or the far side of a stream.
class Side
{
public:
    virtual ~Side() = default;
    virtual std::int64_t open(const std::string& path, int flags) = 0;
    virtual std::int64_t read(std::int64_t handle, std::uint8_t* buffer, std::size_t maximum) = 0;
    virtual std::int64_t write(std::int64_t handle, const std::uint8_t* bytes, std::size_t count) = 0;
    virtual bool close(std::int64_t handle) = 0;
    virtual std::int64_t length(std::int64_t handle) = 0;
    virtual std::uint32_t type(const std::string& path) = 0;
    virtual bool makeDirectory(const std::string& path) = 0;
    virtual void removeFile(const std::string& path) = 0;
    virtual bool list(const std::string& path, std::vector<std::string>& names) = 0;
    // The status a failed operation ends the copy with.
    virtual StreamStatus failure() const { return StreamStatus::NotOpen; }
    virtual bool local() const { return false; }
};

class LocalSide final : public Side
{
public:
    std::int64_t open(const std::string& path, int flags) override
    {
        int fd = -1;
        do {
            fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
        } while (fd < 0 && errno == EINTR);
        return fd;
    }
    std::int64_t read(std::int64_t handle, std::uint8_t* buffer, std::size_t maximum) override
    {
        ssize_t got = -1;
        do {
            got = ::read(static_cast<int>(handle), buffer, maximum);
        } while (got < 0 && errno == EINTR);
        return got;
    }
    std::int64_t write(std::int64_t handle, const std::uint8_t* bytes, std::size_t count) override
    {
        ssize_t put = -1;
        do {
            put = ::write(static_cast<int>(handle), bytes, count);
        } while (put < 0 && errno == EINTR);
        return put;
    }
    bool close(std::int64_t handle) override { return ::close(static_cast<int>(handle)) == 0; }
    std::int64_t length(std::int64_t handle) override
    {
        struct stat info
        { };
        return ::fstat(static_cast<int>(handle), &info) == 0 ? info.st_size : -1;
    }
    std::uint32_t type(const std::string& path) override
    {
        struct stat info
        { };
        if (::stat(path.c_str(), &info) != 0)
            return file_type::NotFound;
        return S_ISDIR(info.st_mode) ? file_type::Directory
            : S_ISREG(info.st_mode)  ? file_type::Regular
                                     : file_type::Other;
    }
    bool makeDirectory(const std::string& path) override
    {
        std::error_code error;
        std::filesystem::create_directories(path, error);
        return std::filesystem::is_directory(path, error);
    }
    void removeFile(const std::string& path) override { ::unlink(path.c_str()); }
    bool list(const std::string& path, std::vector<std::string>& names) override
    {
        std::error_code error;
        std::filesystem::directory_iterator it(path, error);
        for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            if (names.size() >= kMaxListing)
                return false;
            names.push_back(it->path().filename().string());
        }
        return !error;
    }
    // Written files and folders must stay where the copy was sent.
    bool local() const override { return true; }
};

class RemoteSide final : public Side
{
public:
    explicit RemoteSide(IOSTStream& via)
        : m_client(via)
    {
    }
    std::int64_t open(const std::string& path, int flags) override { return m_client.open(path, flags); }
    std::int64_t read(std::int64_t handle, std::uint8_t* buffer, std::size_t maximum) override
    {
        return m_client.read(static_cast<std::uint32_t>(handle), buffer, maximum);
    }
    std::int64_t write(std::int64_t handle, const std::uint8_t* bytes, std::size_t count) override
    {
        return m_client.write(static_cast<std::uint32_t>(handle), bytes, count);
    }
    bool close(std::int64_t handle) override { return m_client.close(static_cast<std::uint32_t>(handle)); }
    std::int64_t length(std::int64_t handle) override { return m_client.length(static_cast<std::uint32_t>(handle)); }
    std::uint32_t type(const std::string& path) override { return m_client.fileType(path); }
    bool makeDirectory(const std::string& path) override { return m_client.makeDirectory(path) == StreamStatus::Ok; }
    void removeFile(const std::string& path) override { m_client.remove(path); }
    bool list(const std::string& path, std::vector<std::string>& names) override
    {
        std::vector<DirectoryEntry> entries;
        if (m_client.list(path, entries) != StreamStatus::Ok)
            return false;
        for (auto& entry : entries)
            names.push_back(std::move(entry.name));
        return true;
    }
    StreamStatus failure() const override
    {
        return m_client.lastStatus() == StreamStatus::Ok ? StreamStatus::NotOpen : m_client.lastStatus();
    }

private:
    RemoteFileClient m_client;
};

struct Endpoint
{
    std::unique_ptr<Side> side;
    std::string path;
};

// None for a remote path whose stream is missing or closed: such a path never falls back to the
// local file of the same name.
std::optional<Endpoint> endpointOf(std::string_view text)
{
    if (auto remote = splitRemotePath(text)) {
        IOSTStream* via = StreamRegistry::instance().byAddress(remote->first);
        if (!via || !via->isOpen())
            return std::nullopt;
        return Endpoint{std::make_unique<RemoteSide>(*via), remote->second};
    }
    return Endpoint{std::make_unique<LocalSide>(), std::string(text)};
}

std::optional<Endpoint> endpointOf(const FileCopy::Place& place)
{
    if (!place.via)
        return Endpoint{std::make_unique<LocalSide>(), place.path};
    if (!place.via->isOpen())
        return std::nullopt;
    return Endpoint{std::make_unique<RemoteSide>(*place.via), place.path};
}

// Copies a tree. Names listed by the source are joined to the target only when each is one
// plain name, and a local target path must resolve inside the target the copy was sent to
// (a link planted there earlier would lead out); depth and the number of entries are bounded,
// so a peer that lists without end cannot keep the copy going.
class Copier
{
public:
    Copier(Side& from, Side& to, const FileCopy::Control& control)
        : m_from(from)
        , m_to(to)
        , m_control(control)
    {
    }

    StreamStatus copyTree(const std::string& from, const std::string& to)
    {
        m_target = to;
        return copy(from, to, 0);
    }

private:
    StreamStatus copy(const std::string& from, const std::string& to, int depth)
    {
        if (m_to.local() && !EntryName::staysInside(m_target, to))
            return StreamStatus::NotOpen;
        const std::uint32_t type = m_from.type(from);
        if (type == file_type::Directory)
            return depth < FileCopy::kMaxDepth ? copyDirectory(from, to, depth) : StreamStatus::NotOpen;
        if (type != file_type::Regular)
            return m_from.failure();
        return copyFile(from, to);
    }

    StreamStatus copyDirectory(const std::string& from, const std::string& to, int depth)
    {
        std::vector<std::string> names;
        if (!m_from.list(from, names))
            return m_from.failure();
        if (!m_to.makeDirectory(to))
            return m_to.failure();
        for (const std::string& name : names) {
            const auto source = EntryName::join(from, name);
            const auto target = EntryName::join(to, name);
            if (!source || !target || ++m_entries > kMaxTreeEntries)
                return StreamStatus::NotOpen;
            const StreamStatus status = copy(*source, *target, depth + 1);
            if (status != StreamStatus::Ok)
                return status;
        }
        return StreamStatus::Ok;
    }

    StreamStatus copyFile(const std::string& from, const std::string& to)
    {
        const std::int64_t in = m_from.open(from, O_RDONLY);
        if (in < 0)
            return m_from.failure();
        const std::int64_t out = m_to.open(to, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW);
        if (out < 0) {
            m_from.close(in);
            return m_to.failure();
        }
        const StreamStatus status = transfer(in, out);
        m_from.close(in);
        const bool closed = m_to.close(out);
        if (status == StreamStatus::Ok && closed)
            return status;
        // Half a file would pass for the whole one.
        m_to.removeFile(to);
        return status == StreamStatus::Ok ? m_to.failure() : status;
    }

    StreamStatus transfer(std::int64_t in, std::int64_t out)
    {
        const std::int64_t total = m_from.length(in);
        std::uint8_t block[FileCopy::kBlock];
        std::uint64_t copied = 0;
        std::int64_t shown = 0;
        for (;;) {
            if (m_control.stop && m_control.stop->load())
                return StreamStatus::NotOpen;
            const std::int64_t got = m_from.read(in, block, sizeof block);
            if (got < 0)
                return m_from.failure();
            if (got == 0)
                return StreamStatus::Ok;
            const std::int64_t put = m_to.write(out, block, static_cast<std::size_t>(got));
            if (put != got)
                return put < 0 ? m_to.failure() : StreamStatus::NotOpen;
            copied += static_cast<std::uint64_t>(got);
            if (m_control.progress)
                m_control.progress(copied, total > 0 ? static_cast<std::uint64_t>(total) : 0);
            if (m_control.window == platform::kNoHandle || total <= 0)
                continue;
            const auto percent = static_cast<std::int64_t>(
                std::min<std::uint64_t>(copied * 100 / static_cast<std::uint64_t>(total), 100));
            if (percent != shown) {
                shown = percent;
                platform::post(m_control.window, StreamRegistry::messages().thread, 1,
                               static_cast<platform::LParam>(percent));
            }
        }
    }

    Side& m_from;
    Side& m_to;
    const FileCopy::Control& m_control;
    std::string m_target;
    std::size_t m_entries = 0;
};

} // namespace

StreamStatus FileCopy::copy(std::string_view from, std::string_view to, platform::Handle window)
{
    const std::optional<Endpoint> source = endpointOf(from);
    const std::optional<Endpoint> target = endpointOf(to);
    if (!source || !target)
        return StreamStatus::NotOpen;
    Control control;
    control.window = window;
    Copier copier(*source->side, *target->side, control);
    return copier.copyTree(source->path, target->path);
}

StreamStatus FileCopy::copy(const Place& from, const Place& to, const Control& control)
{
    const std::optional<Endpoint> source = endpointOf(from);
    const std::optional<Endpoint> target = endpointOf(to);
    if (!source || !target)
        return StreamStatus::NotOpen;
    Copier copier(*source->side, *target->side, control);
    return copier.copyTree(source->path, target->path);
}

} // namespace zeb::stream::rpc
