#include "stream/rpc/RemoteRequests.h"

#include "platform/Messaging.h"
#include "platform/ServingWait.h"
#include "platform/Settings.h"
#include "stream/FileDevice.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteFileHandle.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RequestCode.h"
#include "stream/rpc/RequestFrame.h"
#include "stream/rpc/RequestServer.h"
#include "stream/rpc/RootFolder.h"
#include "stream/rpc/ServedFolder.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace zeb::stream::rpc {

namespace {

// What the service keeps for one stream: its server, and the records a request is read into
// and its reply built in (made once, so serving allocates no buffers).
struct StreamState
{
    explicit StreamState(std::shared_ptr<const RootFolder> root)
        : server(std::move(root))
    {
    }
    // Only receive paths of the stream take it; no window thread ever waits for it.
    std::mutex serveMutex;
    RequestServer server;
    RemoteFileRequest request;
    RemoteFileRequest reply;
    std::array<std::uint8_t, RequestFrame::kMaxSize> frame{};
};

enum class CallState { Waiting, Replied, Closed };

std::atomic<RemoteRequests::Observer> g_observer{nullptr};

bool startsWithPath(std::uint32_t code)
{
    switch (code) {
    case request_code::Open:
    case request_code::Remove:
    case request_code::Rename:
    case request_code::FileType:
    case request_code::MakeDirectory:
    case request_code::OpenListing:
    case request_code::NextEntry:
    case request_code::UniqueName:
        return true;
    default:
        return false;
    }
}

struct Waiter
{
    IOSTStream* stream = nullptr;
    RemoteFileRequest* record = nullptr;
    std::atomic<CallState> state{CallState::Waiting};
};

class Service final : public IOSTStream::RequestService
{
public:
    void setRoot(const std::filesystem::path& root, RootFolder::Absolute absolute)
    {
        auto folder = std::make_shared<const RootFolder>(root, absolute);
        const std::lock_guard lock(m_mutex);
        m_root = std::move(folder);
    }

    std::shared_ptr<StreamState> stateFor(IOSTStream& stream)
    {
        const std::lock_guard lock(m_mutex);
        auto& slot = m_streams[&stream];
        if (!slot)
            slot = std::make_shared<StreamState>(m_root ? m_root : std::make_shared<const RootFolder>(""));
        return slot;
    }

    std::uint32_t addWaiter(Waiter& waiter)
    {
        const std::lock_guard lock(m_callMutex);
        std::uint32_t id = 0;
        do {
            id = m_nextIdentifier++;
        } while (id == 0 || m_calls.count(id) != 0);
        m_calls.emplace(id, &waiter);
        return id;
    }

    void removeWaiter(std::uint32_t id)
    {
        const std::lock_guard lock(m_callMutex);
        m_calls.erase(id);
    }

    std::size_t waitingCalls() const
    {
        const std::lock_guard lock(m_callMutex);
        return m_calls.size();
    }

    void handleFrame(IOSTStream& stream, const StreamEvent& event) override
    {
        const auto frame = RequestFrame::parse({event.data(), event.length()});
        if (!frame)
            return;
        if (frame->kind == request_kind::Reply) {
            deliverReply(stream, *frame);
            return;
        }
        serveRequest(stream, *frame);
    }

    // Waiting calls on the stream end at once, and its server (with every handle it handed
    // out) goes once no request is being served on it.
    void streamClosed(IOSTStream& stream) override
    {
        {
            const std::lock_guard lock(m_callMutex);
            for (auto it = m_calls.begin(); it != m_calls.end();) {
                if (it->second->stream != &stream) {
                    ++it;
                    continue;
                }
                it->second->state = CallState::Closed;
                it = m_calls.erase(it);
            }
        }
        platform::ServingWait::wakeAll();
        std::shared_ptr<StreamState> state;
        const std::lock_guard lock(m_mutex);
        if (auto found = m_streams.find(&stream); found != m_streams.end()) {
            state = std::move(found->second);
            m_streams.erase(found);
        }
    }

private:
    void deliverReply(IOSTStream& stream, const RequestFrame::View& frame)
    {
        {
            const std::lock_guard lock(m_callMutex);
            const auto found = m_calls.find(frame.identifier);
            // Unknown identifiers are replies to calls that gave up, or replies never asked for.
            if (found == m_calls.end() || found->second->stream != &stream)
                return;
            Waiter& waiter = *found->second;
            if (waiter.record->assign(frame.payload) != StreamStatus::Ok)
                return;
            waiter.record->kind = request_kind::Reply;
            waiter.state = CallState::Replied;
            m_calls.erase(found);
        }
        platform::ServingWait::wakeAll();
    }

    void serveRequest(IOSTStream& stream, const RequestFrame::View& frame)
    {
        const std::shared_ptr<StreamState> state = stateFor(stream);
        const std::lock_guard lock(state->serveMutex);
        RemoteFileRequest& request = state->request;
        request.assign(frame.payload);
        request.kind = frame.kind;
        request.identifier = frame.identifier;
        std::uint32_t code = 0;
        if (request.readWord(code) != StreamStatus::Ok)
            return;
        if (const RemoteRequests::Observer observer = g_observer.load()) {
            std::string_view text;
            if (startsWithPath(code))
                request.readText(text);
            if (!observer(stream, code, text))
                return;
            request.beginRead();
            request.readWord(code);
        }
        if (!RequestServer::serves(code)) {
            const platform::Handle window = stream.requestWindow();
            if (window == platform::kNoHandle)
                return;
            request.beginRead();
            platform::send(window, StreamRegistry::messages().rpcRequest, 0,
                           reinterpret_cast<platform::LParam>(&request));
            return;
        }
        RemoteFileRequest& reply = state->reply;
        reply.beginWrite();
        state->server.serve(code, request, reply);
        reply.identifier = frame.identifier;
        RemoteRequests::send(stream, reply, request_kind::Reply);
    }

    std::mutex m_mutex;
    std::shared_ptr<const RootFolder> m_root;
    std::map<IOSTStream*, std::shared_ptr<StreamState>> m_streams;

    mutable std::mutex m_callMutex;
    std::unordered_map<std::uint32_t, Waiter*> m_calls;
    std::uint32_t m_nextIdentifier = 1;
};

// Never destroyed: receive threads may still serve while the process exits.
Service& service()
{
    static Service* instance = new Service;
    return *instance;
}

std::unique_ptr<FileDevice::RemoteFile> openRemoteFile(IOSTStream& via, std::string_view path, int flags)
{
    return RemoteFileHandle::open(via, path, flags);
}

} // namespace

std::string RemoteRequests::install(const std::filesystem::path& root, RootFolder::Absolute absolute)
{
    std::string refusal = root.empty() ? std::string() : ServedFolder::refusal(root);
    if (refusal.empty() && !root.empty() && !ServedFolder::prepare(root))
        refusal = "the folder " + root.string() + " cannot be created";
    service().setRoot(refusal.empty() ? root : std::filesystem::path(), absolute);
    IOSTStream::setRequestService(&service());
    FileDevice::setRemoteOpener(&openRemoteFile);
    return refusal.empty() ? refusal : "not serving remote file requests: " + refusal;
}

std::string RemoteRequests::configuredRoot()
{
    return platform::Settings::current().readText(platform::Settings::kSection, kRootSetting,
                                                  ServedFolder::defaultPath());
}

StreamStatus RemoteRequests::send(IOSTStream& stream, const RemoteFileRequest& record, std::uint32_t kind)
{
    if (record.length() > RequestFrame::kMaxPayload)
        return StreamStatus::NotOpen;
    std::array<std::uint8_t, RequestFrame::kMaxSize> frame{};
    const std::size_t size = RequestFrame::build(kind, record.identifier, record.payload(), frame);
    // The stream hands one message at a time to its transport, so this frame cannot mix with
    // another writer's bytes; no lock is held while its subscribers are told of the send.
    const std::size_t written = stream.write(frame.data(), size, 0, IOSTStream::kDefaultRetryDelayMs, true);
    return written == 0 ? StreamStatus::SendFailed : StreamStatus::Ok;
}

StreamStatus RemoteRequests::call(IOSTStream& stream, RemoteFileRequest& record, std::chrono::milliseconds timeout)
{
    Waiter waiter;
    waiter.stream = &stream;
    waiter.record = &record;
    record.identifier = service().addWaiter(waiter);
    record.kind = request_kind::Request;
    const StreamStatus sent = send(stream, record, request_kind::Request);
    if (sent != StreamStatus::Ok) {
        service().removeWaiter(record.identifier);
        return sent;
    }
    platform::ServingWait::until([&waiter] { return waiter.state.load() != CallState::Waiting; }, timeout);
    // From here on no reply can reach the record: a late one finds no waiter.
    service().removeWaiter(record.identifier);
    switch (waiter.state.load()) {
    case CallState::Replied:
        return StreamStatus::Ok;
    case CallState::Closed:
        return StreamStatus::NotOpen;
    case CallState::Waiting:
        break;
    }
    return StreamStatus::TimedOut;
}

void RemoteRequests::registerRequestWindow(IOSTStream& stream, platform::Handle window)
{
    stream.setRequestWindow(window);
    stream.subscribeWindow(window);
}

void RemoteRequests::unregisterRequestWindow(IOSTStream& stream, platform::Handle window)
{
    if (stream.requestWindow() == window)
        stream.setRequestWindow(platform::kNoHandle);
    stream.setWindowState(window, SubscriberState::Disabled);
}

void RemoteRequests::setObserver(Observer observer)
{
    g_observer.store(observer);
}

std::size_t RemoteRequests::waitingCalls()
{
    return service().waitingCalls();
}

std::string installRemoteRequests()
{
    return RemoteRequests::install(RemoteRequests::configuredRoot());
}

std::string installRemoteRequests(const std::filesystem::path& root, RootFolder::Absolute absolute)
{
    return RemoteRequests::install(root, absolute);
}

} // namespace zeb::stream::rpc
