#include "stream/rpc/RemoteFileClient.h"

#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RequestCode.h"

#include <algorithm>

namespace zeb::stream::rpc {

namespace {

constexpr std::uint32_t kFailed = 0xFFFFFFFFu;

} // namespace

RemoteFileClient::RemoteFileClient(IOSTStream& via, std::chrono::milliseconds timeout)
    : m_via(via)
    , m_timeout(timeout)
    , m_record(std::make_unique<RemoteFileRequest>())
{
}

RemoteFileClient::~RemoteFileClient() = default;

template <typename Build>
bool RemoteFileClient::exchange(std::uint32_t code, Build&& build)
{
    RemoteFileRequest& record = *m_record;
    record.beginWrite();
    if (record.appendWord(code) != StreamStatus::Ok || build(record) != StreamStatus::Ok) {
        m_lastStatus = StreamStatus::NotOpen;
        return false;
    }
    m_lastStatus = RemoteRequests::call(m_via, record, m_timeout);
    record.beginRead();
    return m_lastStatus == StreamStatus::Ok;
}

// A word reply where -1 means failure; a missing word is a failure too.
std::int64_t RemoteFileClient::signedWord()
{
    std::uint32_t value = kFailed;
    if (m_record->readWord(value) != StreamStatus::Ok || value == kFailed)
        return -1;
    return value;
}

StreamStatus RemoteFileClient::statusByte()
{
    std::uint8_t status = 0;
    if (m_record->readByte(status) != StreamStatus::Ok)
        return StreamStatus::NotOpen;
    return static_cast<StreamStatus>(status);
}

std::int64_t RemoteFileClient::open(std::string_view path, int flags, std::uint32_t permission)
{
    const std::lock_guard lock(m_mutex);
    const bool called = exchange(request_code::Open, [&](RemoteFileRequest& record) {
        if (record.appendText(path) != StreamStatus::Ok
            || record.appendWord(wire_open::fromLocal(flags)) != StreamStatus::Ok)
            return StreamStatus::NotOpen;
        return record.appendWord(permission);
    });
    const std::int64_t handle = called ? signedWord() : -1;
    // 0 is what a peer answers for a failed open in some versions: never a handle.
    return handle == 0 ? -1 : handle;
}

std::int64_t RemoteFileClient::read(std::uint32_t handle, std::uint8_t* buffer, std::size_t maximum)
{
    const std::lock_guard lock(m_mutex);
    if (!buffer)
        return -1;
    const bool called = exchange(request_code::Read, [&](RemoteFileRequest& record) {
        record.appendWord(handle);
        return record.appendWord(static_cast<std::uint32_t>(std::min(maximum, kReadBlock)));
    });
    std::span<const std::uint8_t> bytes;
    if (!called || m_record->readBlock(bytes) != StreamStatus::Ok)
        return -1;
    // The peer decides how much it sends: never more than was asked for lands in the buffer.
    const std::size_t count = std::min(bytes.size(), maximum);
    std::copy_n(bytes.data(), count, buffer);
    return static_cast<std::int64_t>(count);
}

std::int64_t RemoteFileClient::write(std::uint32_t handle, const std::uint8_t* bytes, std::size_t count)
{
    const std::lock_guard lock(m_mutex);
    if (!bytes && count > 0)
        return -1;
    std::size_t done = 0;
    while (done < count || count == 0) {
        const std::size_t piece = std::min(count - done, kWriteBlock);
        const bool called = exchange(request_code::Write, [&](RemoteFileRequest& record) {
            record.appendWord(handle);
            return record.appendBlock({bytes + done, piece});
        });
        const std::int64_t written = called ? signedWord() : -1;
        if (written < 0)
            break;
        done += std::min(static_cast<std::size_t>(written), piece);
        if (count == 0 || static_cast<std::size_t>(written) < piece)
            break;
    }
    return done == 0 && count > 0 ? -1 : static_cast<std::int64_t>(done);
}

bool RemoteFileClient::close(std::uint32_t handle)
{
    const std::lock_guard lock(m_mutex);
    const bool called
        = exchange(request_code::Close, [&](RemoteFileRequest& record) { return record.appendWord(handle); });
    return called && signedWord() == 0;
}

std::int64_t RemoteFileClient::seek(std::uint32_t handle, std::int32_t offset, int origin)
{
    const std::lock_guard lock(m_mutex);
    const bool called = exchange(request_code::Seek, [&](RemoteFileRequest& record) {
        record.appendWord(handle);
        record.appendWord(static_cast<std::uint32_t>(offset));
        return record.appendWord(static_cast<std::uint32_t>(origin));
    });
    return called ? signedWord() : -1;
}

std::int64_t RemoteFileClient::length(std::uint32_t handle)
{
    const std::lock_guard lock(m_mutex);
    const bool called
        = exchange(request_code::Length, [&](RemoteFileRequest& record) { return record.appendWord(handle); });
    return called ? signedWord() : -1;
}

std::uint32_t RemoteFileClient::fileType(std::string_view path)
{
    const std::lock_guard lock(m_mutex);
    const bool called
        = exchange(request_code::FileType, [&](RemoteFileRequest& record) { return record.appendText(path); });
    std::uint32_t type = file_type::NotFound;
    if (!called || m_record->readWord(type) != StreamStatus::Ok)
        return file_type::NotFound;
    return type;
}

StreamStatus RemoteFileClient::remove(std::string_view path)
{
    const std::lock_guard lock(m_mutex);
    const bool called
        = exchange(request_code::Remove, [&](RemoteFileRequest& record) { return record.appendText(path); });
    return called ? statusByte() : m_lastStatus;
}

StreamStatus RemoteFileClient::rename(std::string_view from, std::string_view to)
{
    const std::lock_guard lock(m_mutex);
    const bool called = exchange(request_code::Rename, [&](RemoteFileRequest& record) {
        record.appendText(from);
        return record.appendText(to);
    });
    return called ? statusByte() : m_lastStatus;
}

StreamStatus RemoteFileClient::makeDirectory(std::string_view path)
{
    const std::lock_guard lock(m_mutex);
    const bool called
        = exchange(request_code::MakeDirectory, [&](RemoteFileRequest& record) { return record.appendText(path); });
    return called ? statusByte() : m_lastStatus;
}

StreamStatus RemoteFileClient::list(std::string_view path, std::vector<DirectoryEntry>& entries)
{
    entries.clear();
    return list(path, [&entries](DirectoryEntry&& entry) {
        entries.push_back(std::move(entry));
        return true;
    });
}

StreamStatus RemoteFileClient::list(std::string_view path, const EachEntry& each, std::size_t maximum)
{
    const std::lock_guard lock(m_mutex);
    std::size_t listed = 0;
    if (!exchange(request_code::OpenListing, [&](RemoteFileRequest& record) { return record.appendText(path); }))
        return m_lastStatus;
    std::uint32_t handle = 0;
    std::uint32_t reference = 0;
    if (statusByte() != StreamStatus::Ok || m_record->readWord(handle) != StreamStatus::Ok
        || m_record->readWord(reference) != StreamStatus::Ok)
        return StreamStatus::NotOpen;

    StreamStatus result = StreamStatus::Ok;
    for (;;) {
        const bool called = exchange(request_code::NextEntry, [&](RemoteFileRequest& record) {
            record.appendText(path);
            record.appendWord(handle);
            return record.appendWord(reference);
        });
        if (!called) {
            result = m_lastStatus;
            break;
        }
        const StreamStatus status = statusByte();
        std::uint32_t next = 0;
        std::span<const std::uint8_t> bytes;
        if (status != StreamStatus::Ok || m_record->readWord(next) != StreamStatus::Ok
            || m_record->readBlock(bytes) != StreamStatus::Ok) {
            result = status == StreamStatus::NoMoreEntries ? StreamStatus::Ok : StreamStatus::NotOpen;
            break;
        }
        auto entry = DirectoryEntry::decode(bytes);
        // A handle that does not move on would list the same entry for ever; one that always
        // moves on must not list without end either.
        if (!entry || next == handle || listed >= maximum) {
            result = StreamStatus::NotOpen;
            break;
        }
        ++listed;
        handle = next;
        if (!each(std::move(*entry)))
            break;
    }
    exchange(request_code::CloseListing, [&](RemoteFileRequest& record) {
        record.appendWord(handle);
        return record.appendWord(reference);
    });
    return result;
}

std::optional<std::string> RemoteFileClient::uniqueName(std::string_view pattern)
{
    const std::lock_guard lock(m_mutex);
    if (!exchange(request_code::UniqueName, [&](RemoteFileRequest& record) { return record.appendText(pattern); }))
        return std::nullopt;
    std::string_view name;
    if (statusByte() != StreamStatus::Ok || m_record->readText(name) != StreamStatus::Ok)
        return std::nullopt;
    return std::string(name);
}

} // namespace zeb::stream::rpc
