#pragma once

#include "platform/Types.h"
#include "stream/StreamStatus.h"
#include "stream/rpc/RootFolder.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::stream::rpc {

class RemoteFileRequest;

// Requests and replies between two programs connected by a stream. Every stream of the process
// serves the file requests it receives (inside the root folder) once the service is installed;
// calls send a request and wait for its reply.
class RemoteRequests
{
public:
    static constexpr std::chrono::milliseconds kCallTimeout{5000};
    static constexpr std::string_view kRootSetting = "remoteRoot";

    // Installs the service for every stream (also remote paths in FileDevice); installing again
    // changes the root for streams that have not served yet. Calls work whatever the root; an
    // empty root serves nothing, and so does a refused one (ServedFolder): the text says why,
    // empty when the root is served.
    static std::string install(const std::filesystem::path& root,
                               RootFolder::Absolute absolute = RootFolder::Absolute::HostPaths);
    // The root the settings name: "remoteRoot" in section "Settings" (empty: serve nothing),
    // else the default served folder "$ZEB500_HOME/disk".
    static std::string configuredRoot();

    // Sends the record's payload in a frame of `kind` with the record's identifier: 0, 53 when
    // the stream wrote nothing, 54 when the payload is too large.
    static StreamStatus send(IOSTStream& stream, const RemoteFileRequest& record, std::uint32_t kind);
    // Sends the record as a request with a fresh identifier and waits, serving sends, for the
    // reply, which replaces the record's payload: 0, 59 without a reply in time, 54 when the
    // stream closed meanwhile, or the send's status. A reply that comes after the wait has
    // ended is recognised by its identifier and dropped.
    static StreamStatus call(IOSTStream& stream, RemoteFileRequest& record,
                             std::chrono::milliseconds timeout = kCallTimeout);

    // The window receives "ON_RPC_REQUEST" (wParam 0, lParam the RemoteFileRequest*, read from
    // its code) for the requests the stream does not serve; it is also subscribed to the stream.
    // The registration stays across closes and reopens of the stream.
    static void registerRequestWindow(IOSTStream& stream, platform::Handle window);
    // Undoes registerRequestWindow: no more requests, and the window's subscription disabled.
    static void unregisterRequestWindow(IOSTStream& stream, platform::Handle window);

    // Calls waiting for a reply, on every stream.
    static std::size_t waitingCalls();

    // Told of every request a stream receives, before it is served, on the receive thread (a
    // log, say); answers false to leave the request unanswered (a simulated dead peer). Set it
    // before streams open; null removes it.
    using Observer = bool (*)(IOSTStream& stream, std::uint32_t code, std::string_view firstText);
    static void setObserver(Observer observer);
};

// The remote request service with the root from the settings, or with the given root; the
// reason the root is not served, or an empty text.
std::string installRemoteRequests();
std::string installRemoteRequests(const std::filesystem::path& root,
                                  RootFolder::Absolute absolute = RootFolder::Absolute::HostPaths);

} // namespace zeb::stream::rpc
