#include "stream/rpc/RequestServer.h"

#include "stream/rpc/RequestCode.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace zeb::stream::rpc {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kFailed = 0xFFFFFFFFu; // -1 as a word
constexpr std::uint8_t kOk = 0;
constexpr std::uint8_t kFailure = static_cast<std::uint8_t>(StreamStatus::NotOpen);
constexpr std::uint8_t kNoMoreEntries = static_cast<std::uint8_t>(StreamStatus::NoMoreEntries);
constexpr unsigned kMaxUniqueNumber = 99;

std::uint32_t typeOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return file_type::Directory;
    if (S_ISREG(mode))
        return file_type::Regular;
    if (S_ISCHR(mode))
        return file_type::CharacterDevice;
    if (S_ISFIFO(mode))
        return file_type::Pipe;
    return file_type::Other;
}

int closeDescriptor(int fd)
{
    return ::close(fd);
}

// Descriptors handed out to peers, over every connection of the process.
std::atomic<std::size_t> g_openFiles{0};

bool reserveFile()
{
    std::size_t count = g_openFiles.load();
    do {
        if (count >= RequestServer::kMaxOpenFiles)
            return false;
    } while (!g_openFiles.compare_exchange_weak(count, count + 1));
    return true;
}

int closeFile(int fd)
{
    g_openFiles.fetch_sub(1);
    return closeDescriptor(fd);
}

// Entry names of a folder without "." and "..", at most kMaxListing of them, sorted so that
// successive requests walk the same order.
std::optional<std::vector<std::string>> entryNames(const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator() && names.size() < kMaxListing; it.increment(error)) {
        if (error)
            return std::nullopt;
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a file, or a folder with what it holds, entries first; links are removed, never
// followed. Gives up past kMaxTreeDepth levels or kMaxTreeEntries entries in all.
bool removeTree(const fs::path& path, int depth, std::size_t& budget)
{
    if (budget == 0 || depth > kMaxTreeDepth)
        return false;
    --budget;
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(path, error))) {
        std::vector<fs::path> entries;
        fs::directory_iterator it(path, error);
        for (; !error && it != fs::directory_iterator() && entries.size() <= budget; it.increment(error))
            entries.push_back(it->path());
        if (error)
            return false;
        for (const fs::path& entry : entries) {
            if (!removeTree(entry, depth + 1, budget))
                return false;
        }
    }
    return fs::remove(path, error) && !error;
}

// Never onto an existing name: that would silently destroy the file there. File systems without
// the atomic form get a check first.
bool renameWithoutReplacing(const fs::path& from, const fs::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    struct stat info
    { };
    return ::lstat(to.c_str(), &info) != 0 && errno == ENOENT && ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

namespace wire_open {

std::uint32_t fromLocal(int flags)
{
    std::uint32_t wire = 0;
    const int access = flags & O_ACCMODE;
    wire |= access == O_WRONLY ? WriteOnly : access == O_RDWR ? ReadWrite : ReadOnly;
    if (flags & O_APPEND)
        wire |= Append;
    if (flags & O_CREAT)
        wire |= Create;
    if (flags & O_TRUNC)
        wire |= Truncate;
    if (flags & O_EXCL)
        wire |= Exclusive;
    return wire;
}

int toLocal(std::uint32_t wire)
{
    const std::uint32_t access = wire & AccessMask;
    int flags = access == WriteOnly ? O_WRONLY : access == ReadWrite ? O_RDWR : O_RDONLY;
    if (wire & Append)
        flags |= O_APPEND;
    if (wire & Create)
        flags |= O_CREAT;
    if (wire & Truncate)
        flags |= O_TRUNC;
    if (wire & Exclusive)
        flags |= O_EXCL;
    return flags;
}

} // namespace wire_open

RequestServer::RequestServer(std::shared_ptr<const RootFolder> root)
    : m_root(std::move(root))
    , m_nextHandle(std::random_device{}() & 0x3FFFFFFFu)
{
}

RequestServer::~RequestServer()
{
    for (const auto& [handle, fd] : m_files)
        closeFile(fd);
}

std::size_t RequestServer::openFilesInProcess()
{
    return g_openFiles.load();
}

bool RequestServer::serves(std::uint32_t code)
{
    switch (code) {
    case request_code::Open:
    case request_code::Read:
    case request_code::Write:
    case request_code::Close:
    case request_code::Remove:
    case request_code::Rename:
    case request_code::Seek:
    case request_code::FileType:
    case request_code::MakeDirectory:
    case request_code::OpenListing:
    case request_code::NextEntry:
    case request_code::CloseListing:
    case request_code::UniqueName:
    case request_code::Length:
        return true;
    default:
        return false;
    }
}

void RequestServer::serve(std::uint32_t code, RemoteFileRequest& request, RemoteFileRequest& reply)
{
    switch (code) {
    case request_code::Open:
        return open(request, reply);
    case request_code::Read:
        return read(request, reply);
    case request_code::Write:
        return write(request, reply);
    case request_code::Close:
        return close(request, reply);
    case request_code::Remove:
        return remove(request, reply);
    case request_code::Rename:
        return rename(request, reply);
    case request_code::Seek:
        return seek(request, reply);
    case request_code::FileType:
        return fileType(request, reply);
    case request_code::MakeDirectory:
        return makeDirectory(request, reply);
    case request_code::OpenListing:
        return openListing(request, reply);
    case request_code::NextEntry:
        return nextEntry(request, reply);
    case request_code::CloseListing:
        return closeListing(request, reply);
    case request_code::UniqueName:
        return uniqueName(request, reply);
    case request_code::Length:
        return length(request, reply);
    default:
        return;
    }
}

int RequestServer::descriptorOf(RemoteFileRequest& request, std::uint32_t& handle)
{
    if (request.readWord(handle) != StreamStatus::Ok)
        return -1;
    const auto found = m_files.find(handle);
    return found == m_files.end() ? -1 : found->second;
}

void RequestServer::open(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    std::uint32_t flags = 0;
    std::uint32_t permission = 0;
    if (request.readText(text) != StreamStatus::Ok || request.readWord(flags) != StreamStatus::Ok
        || request.readWord(permission) != StreamStatus::Ok) {
        reply.appendWord(kFailed);
        return;
    }
    const auto path = m_root->resolve(text);
    if (!path || !reserveFile()) {
        reply.appendWord(kFailed);
        return;
    }
    // Non-blocking so that a pipe cannot stall the receive thread; anything but a regular file
    // is refused below anyway.
    const int local = wire_open::toLocal(flags) | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
    int fd = -1;
    do {
        fd = ::open(path->c_str(), local, static_cast<mode_t>(permission & 0777u) | S_IRUSR | S_IWUSR);
    } while (fd < 0 && errno == EINTR);
    struct stat info
    { };
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        closeDescriptor(fd);
        fd = -1;
    }
    if (fd < 0) {
        g_openFiles.fetch_sub(1);
        reply.appendWord(kFailed);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::uint32_t handle = m_nextHandle;
    while (handle == 0 || handle == kFailed || m_files.count(handle) != 0)
        handle = (handle + 1) & 0x7FFFFFFFu;
    m_nextHandle = (handle + 1) & 0x7FFFFFFFu;
    m_files.emplace(handle, fd);
    reply.appendWord(handle);
}

void RequestServer::read(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    std::uint32_t count = 0;
    const int fd = descriptorOf(request, handle);
    std::uint8_t block[kReadBlock];
    ssize_t got = -1;
    // The count asked for is not used: a reply carries at most one block.
    if (fd >= 0 && request.readWord(count) == StreamStatus::Ok) {
        do {
            got = ::read(fd, block, sizeof block);
        } while (got < 0 && errno == EINTR);
    }
    reply.appendBlock({block, got > 0 ? static_cast<std::size_t>(got) : 0});
}

void RequestServer::write(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    std::span<const std::uint8_t> bytes;
    const int fd = descriptorOf(request, handle);
    if (fd < 0 || request.readBlock(bytes) != StreamStatus::Ok) {
        reply.appendWord(kFailed);
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += static_cast<std::size_t>(put);
    }
    reply.appendWord(done == 0 && !bytes.empty() ? kFailed : static_cast<std::uint32_t>(done));
}

void RequestServer::close(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    const int fd = descriptorOf(request, handle);
    if (fd < 0) {
        reply.appendWord(kFailed);
        return;
    }
    m_files.erase(handle);
    reply.appendWord(closeFile(fd) == 0 ? 0 : kFailed);
}

void RequestServer::remove(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    const auto path = request.readText(text) == StreamStatus::Ok ? m_root->resolve(text) : std::nullopt;
    std::error_code error;
    // The root itself stays: removing it would leave the peer nothing, and the owner no folder.
    if (!path || *path == m_root->path()) {
        reply.appendByte(kFailure);
        return;
    }
    const fs::file_status status = fs::symlink_status(*path, error);
    std::size_t budget = kMaxTreeEntries;
    const bool removable = fs::is_regular_file(status) || fs::is_directory(status);
    reply.appendByte(removable && removeTree(*path, 0, budget) ? kOk : kFailure);
}

void RequestServer::rename(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view from;
    std::string_view to;
    if (request.readText(from) != StreamStatus::Ok || request.readText(to) != StreamStatus::Ok) {
        reply.appendByte(kFailure);
        return;
    }
    const auto source = m_root->resolve(from);
    const auto target = m_root->resolve(to);
    if (!source || !target || *source == m_root->path() || *target == m_root->path()) {
        reply.appendByte(kFailure);
        return;
    }
    reply.appendByte(renameWithoutReplacing(*source, *target) ? kOk : kFailure);
}

void RequestServer::seek(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    std::uint32_t offset = 0;
    std::uint32_t origin = 0;
    const int fd = descriptorOf(request, handle);
    if (fd < 0 || request.readWord(offset) != StreamStatus::Ok || request.readWord(origin) != StreamStatus::Ok
        || origin > SEEK_END) {
        reply.appendWord(kFailed);
        return;
    }
    const off_t position = ::lseek(fd, static_cast<off_t>(static_cast<std::int32_t>(offset)), static_cast<int>(origin));
    reply.appendWord(position < 0 ? kFailed : static_cast<std::uint32_t>(position));
}

void RequestServer::fileType(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    const auto path = request.readText(text) == StreamStatus::Ok ? m_root->resolve(text) : std::nullopt;
    struct stat info
    { };
    if (!path || ::stat(path->c_str(), &info) != 0) {
        reply.appendWord(file_type::NotFound);
        return;
    }
    reply.appendWord(typeOf(info.st_mode));
}

void RequestServer::makeDirectory(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    const auto path = request.readText(text) == StreamStatus::Ok ? m_root->resolve(text) : std::nullopt;
    if (!path) {
        reply.appendByte(kFailure);
        return;
    }
    std::error_code error;
    fs::create_directories(*path, error);
    reply.appendByte(!error && fs::is_directory(*path, error) ? kOk : kFailure);
}

void RequestServer::openListing(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    const auto path = request.readText(text) == StreamStatus::Ok ? m_root->resolve(text) : std::nullopt;
    std::error_code error;
    const bool folder = path && fs::is_directory(*path, error);
    reply.appendByte(folder ? kOk : kFailure);
    // The listing handle counts the entries handed out; nothing is kept here between requests.
    reply.appendWord(0);
    reply.appendWord(0);
}

void RequestServer::nextEntry(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view text;
    std::uint32_t position = 0;
    std::uint32_t reference = 0;
    const bool valid = request.readText(text) == StreamStatus::Ok && request.readWord(position) == StreamStatus::Ok
        && request.readWord(reference) == StreamStatus::Ok;
    const auto path = valid ? m_root->resolve(text) : std::nullopt;
    // The folder is read once per listing, not once per entry.
    if (path && (position == 0 || m_listing.folder != *path))
        m_listing = {*path, entryNames(*path)};
    const auto& names = m_listing.names;
    if (!path || !names || position >= names->size()) {
        reply.appendByte(names ? kNoMoreEntries : kFailure);
        reply.appendWord(position);
        reply.appendBlock({});
        return;
    }
    const std::string& name = (*names)[position];
    std::uint8_t entry[kEntrySize] = {};
    // Longer names are cut to fit the field, which always keeps its terminating zero.
    std::memcpy(entry, name.data(), std::min(name.size(), kEntryNameSize - 1));
    struct stat info
    { };
    const std::string full = (*path / name).string();
    if (::lstat(full.c_str(), &info) == 0) {
        const std::uint32_t words[4]
            = {static_cast<std::uint32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size), kFailed)),
               static_cast<std::uint32_t>(info.st_mtime), typeOf(info.st_mode), info.st_mode & 0xFFFFu};
        for (std::size_t i = 0; i < 4; ++i) {
            for (std::size_t b = 0; b < 4; ++b)
                entry[kEntryNameSize + 4 * i + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
        }
    }
    reply.appendByte(kOk);
    reply.appendWord(position + 1);
    reply.appendBlock({entry, sizeof entry});
}

void RequestServer::closeListing(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    std::uint32_t reference = 0;
    const bool valid = request.readWord(handle) == StreamStatus::Ok && request.readWord(reference) == StreamStatus::Ok;
    reply.appendByte(valid ? kOk : kFailure);
}

void RequestServer::uniqueName(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::string_view pattern;
    const bool valid = request.readText(pattern) == StreamStatus::Ok;
    const std::size_t at = valid ? pattern.find("%u") : std::string_view::npos;
    // Exactly one conversion, and no other "%": the pattern never reaches a format function,
    // but a second placeholder would mean a name the requester did not ask for.
    if (at == std::string_view::npos || pattern.find('%', at + 2) != std::string_view::npos
        || pattern.substr(0, at).find('%') != std::string_view::npos) {
        reply.appendByte(kFailure);
        reply.appendText("");
        return;
    }
    for (unsigned number = 1; number <= kMaxUniqueNumber; ++number) {
        std::string name(pattern.substr(0, at));
        name += std::to_string(number);
        name += pattern.substr(at + 2);
        const auto path = m_root->resolve(name);
        if (!path)
            break;
        std::error_code error;
        if (fs::symlink_status(*path, error).type() == fs::file_type::not_found) {
            reply.appendByte(kOk);
            reply.appendText(name);
            return;
        }
    }
    reply.appendByte(kFailure);
    reply.appendText("");
}

void RequestServer::length(RemoteFileRequest& request, RemoteFileRequest& reply)
{
    std::uint32_t handle = 0;
    const int fd = descriptorOf(request, handle);
    struct stat info
    { };
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        reply.appendWord(kFailed);
        return;
    }
    reply.appendWord(
        static_cast<std::uint32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size), kFailed - 1)));
}

} // namespace zeb::stream::rpc
