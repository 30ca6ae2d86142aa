#pragma once

#include "explorer/core/RemoteLocation.h"
#include "stream/StreamStatus.h"
#include "stream/rpc/DirectoryEntry.h"
#include "stream/rpc/FileCopy.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::stream::rpc {
class RemoteFileClient;
}

namespace zeb::explorer {

// What became of one operation: the message for the user when it failed, and the far-side
// path it made (a new folder).
struct Outcome
{
    bool ok = false;
    std::string message;
    std::string path;
};

// The explorer's operations on one folder of the far side, through the stream it was given:
// a remote path never reaches a local file, and a closed stream fails the operation with a
// message saying so. Every name, typed or listed, must be one plain name. The calls block
// for up to the remote time limit each: run them off the user-interface thread.
class RemoteFolder
{
public:
    static constexpr std::string_view kNotConnected
        = "The connection to the receiver is closed: connect again, then refresh.";
    static constexpr std::string_view kRenameFailed = "Rename failed";
    static constexpr std::string_view kNoSuchDirectory = "No such directory";
    static constexpr std::string_view kNotResponding = "Target not responding";

    RemoteFolder(stream::IOSTStream& via, RemoteLocation location);

    const RemoteLocation& location() const { return m_location; }

    // Hands each entry to `each` as it comes, at most `maximum`, until `stop` is set; entries
    // whose names are not plain names are left out.
    Outcome list(const std::function<void(stream::rpc::DirectoryEntry&&)>& each, const std::atomic<bool>& stop,
                 std::size_t maximum);
    // Refuses a name that is not plain, and one that exists already (the far side would
    // replace that file).
    Outcome rename(std::string_view from, std::string_view to);
    // The first free "NewDir<n>", made.
    Outcome makeNewFolder();
    // The entry, with everything in it when it is a folder.
    Outcome remove(std::string_view name);
    // A local file or folder copied into this folder under its own name.
    Outcome copyIn(const std::string& localPath, const stream::rpc::FileCopy::Control& control);
    // The entry `name` copied into the local folder `localFolder`.
    Outcome copyOut(std::string_view name, const std::string& localFolder,
                    const stream::rpc::FileCopy::Control& control);
    // The entry `entry` of any far side (its address names the stream) copied into this folder
    // under its own name: from one receiver to another, or within one.
    Outcome copyFrom(const RemoteLocation& entry, const stream::rpc::FileCopy::Control& control);

    // The same for an entry of the far side its address names, through that stream.
    static Outcome copyEntryOut(const RemoteLocation& entry, const std::string& localFolder,
                                const stream::rpc::FileCopy::Control& control);
    static Outcome removeEntry(const RemoteLocation& entry);

private:
    bool connected(stream::StreamStatus status) const;
    Outcome failed(stream::rpc::RemoteFileClient& client, std::string text) const;
    Outcome failed(stream::StreamStatus status, std::string text) const;

    stream::IOSTStream& m_via;
    RemoteLocation m_location;
};

} // namespace zeb::explorer
