#include "explorer/core/RemoteFolder.h"

#include "explorer/core/DraggedEntries.h"
#include "stream/IOSTStream.h"
#include "stream/StreamHandle.h"
#include "stream/rpc/EntryName.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RequestCode.h"

#include <filesystem>

namespace zeb::explorer {

using stream::StreamStatus;
using stream::rpc::RemoteFileClient;

namespace {

constexpr std::string_view kNewFolderPattern = "NewDir%u";

std::string closedConnection(const RemoteLocation& entry)
{
    return "The connection to " + entry.address() + " is closed: connect again, then retry.";
}

} // namespace

RemoteFolder::RemoteFolder(stream::IOSTStream& via, RemoteLocation location)
    : m_via(via)
    , m_location(std::move(location))
{
}

bool RemoteFolder::connected(StreamStatus status) const
{
    // A request that could not be sent at all: the far side has hung up.
    return m_via.isOpen() && status != StreamStatus::SendFailed;
}

Outcome RemoteFolder::failed(StreamStatus status, std::string text) const
{
    if (!connected(status))
        return {false, text + "\n" + std::string(kNotConnected), {}};
    if (status == StreamStatus::TimedOut)
        text += "\nThe receiver did not answer in time: check the connection and retry.";
    return {false, std::move(text), {}};
}

Outcome RemoteFolder::failed(RemoteFileClient& client, std::string text) const
{
    return failed(client.lastStatus(), std::move(text));
}

Outcome RemoteFolder::list(const std::function<void(stream::rpc::DirectoryEntry&&)>& each,
                           const std::atomic<bool>& stop, std::size_t maximum)
{
    if (!m_via.isOpen())
        return {false, std::string(kNotConnected), {}};
    RemoteFileClient client(m_via);
    std::size_t listed = 0;
    const StreamStatus status = client.list(
        m_location.path(),
        [&](stream::rpc::DirectoryEntry&& entry) {
            ++listed;
            if (stop.load())
                return false;
            // A name that is no plain name could never be opened, renamed or copied safely.
            if (stream::rpc::EntryName::isPlain(entry.name))
                each(std::move(entry));
            return true;
        },
        maximum);
    if (status == StreamStatus::Ok || stop.load())
        return {true, {}, {}};
    if (listed >= maximum)
        return {false,
                "The receiver lists more than " + std::to_string(maximum) + " entries here: only those are shown.",
                {}};
    if (!connected(client.lastStatus()))
        return {false, std::string(kNotConnected), {}};
    if (client.lastStatus() == StreamStatus::TimedOut)
        return {false, std::string(kNotResponding), {}};
    return {false, std::string(kNoSuchDirectory), {}};
}

Outcome RemoteFolder::rename(std::string_view from, std::string_view to)
{
    const auto source = m_location.childPath(from);
    const auto target = m_location.childPath(to);
    if (!source || !target)
        return {false, std::string(kRenameFailed) + ": a name cannot hold \"/\", nor be \".\" or \"..\".", {}};
    if (!m_via.isOpen())
        return failed(StreamStatus::NotOpen, std::string(kRenameFailed));
    RemoteFileClient client(m_via);
    if (client.fileType(*target) != stream::rpc::file_type::NotFound)
        return {
            false, std::string(kRenameFailed) + ": " + std::string(to) + " exists already; choose another name.", {}};
    if (client.lastStatus() != StreamStatus::Ok)
        return failed(client, std::string(kRenameFailed));
    if (client.rename(*source, *target) != StreamStatus::Ok)
        return failed(client, std::string(kRenameFailed));
    return {true, {}, *target};
}

Outcome RemoteFolder::makeNewFolder()
{
    if (!m_via.isOpen())
        return failed(StreamStatus::NotOpen, "GetNewName failed");
    RemoteFileClient client(m_via);
    const std::string pattern = *m_location.childPath(kNewFolderPattern);
    const auto name = client.uniqueName(pattern);
    // The far side answers a path: only a plain name in this folder is taken.
    const std::string head = pattern.substr(0, pattern.size() - kNewFolderPattern.size());
    if (!name || !name->starts_with(head) || !stream::rpc::EntryName::isPlain(name->substr(head.size())))
        return failed(client, "GetNewName failed");
    if (client.makeDirectory(*name) != StreamStatus::Ok)
        return failed(client, "Failed to create new folder");
    return {true, {}, *name};
}

Outcome RemoteFolder::remove(std::string_view name)
{
    const std::string text = "Can't delete file\r\n" + std::string(name);
    const auto path = m_location.childPath(name);
    if (!path)
        return {false, text, {}};
    if (!m_via.isOpen())
        return failed(StreamStatus::NotOpen, text);
    RemoteFileClient client(m_via);
    if (client.remove(*path) != StreamStatus::Ok)
        return failed(client, text);
    return {true, {}, *path};
}

Outcome RemoteFolder::copyIn(const std::string& localPath, const stream::rpc::FileCopy::Control& control)
{
    const std::string text = "Copy " + localPath + " failed";
    const std::string name = std::filesystem::path(localPath).filename().string();
    const auto target = m_location.childPath(name);
    if (!target)
        return {false, text, {}};
    const StreamStatus status = stream::rpc::FileCopy::copy({nullptr, localPath}, {&m_via, *target}, control);
    if (status != StreamStatus::Ok)
        return failed(status, text);
    return {true, {}, *target};
}

Outcome RemoteFolder::copyOut(std::string_view name, const std::string& localFolder,
                              const stream::rpc::FileCopy::Control& control)
{
    const std::string text = "Copy " + std::string(name) + " failed";
    const auto source = m_location.childPath(name);
    const auto target = stream::rpc::EntryName::join(localFolder, name);
    if (!source || !target)
        return {false, text, {}};
    const StreamStatus status = stream::rpc::FileCopy::copy({&m_via, *source}, {nullptr, *target}, control);
    if (status != StreamStatus::Ok)
        return failed(status, text);
    return {true, {}, *target};
}

Outcome RemoteFolder::copyFrom(const RemoteLocation& entry, const stream::rpc::FileCopy::Control& control)
{
    const std::string text = "Copy " + entry.path() + " failed";
    const auto target = m_location.childPath(DraggedEntries::nameOf(entry));
    if (!target)
        return {false, text, {}};
    const stream::StreamHandle::Pin source = stream::StreamHandle::pinByAddress(entry.address());
    if (!source || !(*source).isOpen())
        return {false, text + "\n" + closedConnection(entry), {}};
    const StreamStatus status = stream::rpc::FileCopy::copy({&*source, entry.path()}, {&m_via, *target}, control);
    if (status != StreamStatus::Ok)
        return failed(status, text);
    return {true, {}, *target};
}

Outcome RemoteFolder::copyEntryOut(const RemoteLocation& entry, const std::string& localFolder,
                                   const stream::rpc::FileCopy::Control& control)
{
    const stream::StreamHandle::Pin source = stream::StreamHandle::pinByAddress(entry.address());
    if (!source)
        return {false, "Copy " + entry.path() + " failed\n" + closedConnection(entry), {}};
    return RemoteFolder(*source, entry.up()).copyOut(DraggedEntries::nameOf(entry), localFolder, control);
}

Outcome RemoteFolder::removeEntry(const RemoteLocation& entry)
{
    const stream::StreamHandle::Pin source = stream::StreamHandle::pinByAddress(entry.address());
    if (!source)
        return {false, "Can't delete file\r\n" + entry.path() + "\n" + closedConnection(entry), {}};
    return RemoteFolder(*source, entry.up()).remove(DraggedEntries::nameOf(entry));
}

} // namespace zeb::explorer
