#pragma once

#include "messages/MessageFramer.h"
#include "stream/EventSource.h"
#include "stream/StreamStatus.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zeb::stream {

class StreamDevice;
struct StreamAddress;

// One connection: a transport, the receive buffer the framer cuts into messages, and the
// subscribers that receive them. Received messages are delivered on the thread that feeds or
// polls the stream (a transport's receive thread), synchronously: a subscriber sees the bytes
// only while its handler runs. Opening, closing and writing run on the caller's thread, and
// one thread at a time writes.
//
// Two small protocols run beside the subscribers: a received "$PKVR,RPC,PING\r\n" is answered
// with "$PKVR,RPC,PING,<address>\r\n", and binary frames of letter 'x' go to
// handleRequestFrame() instead of the subscribers.
class IOSTStream : public EventSource, private messages::FramerHooks
{
public:
    static constexpr int kAnonymous = -1;
    static constexpr std::size_t kBufferCapacity = messages::MessageFramer::kCapacity;
    static constexpr std::size_t kPingWindowSize = 32;
    static constexpr std::string_view kPingRequest = "$PKVR,RPC,PING\r\n";
    // Escaped frames leave in pieces: a piece is written once this many bytes wait.
    static constexpr std::size_t kEscapePiece = 249;
    static constexpr int kDefaultRetryDelayMs = 20;

    // Enters the stream in the registry: in slot `identifier` when it is below 256, and at
    // the head of the list of streams. Its name is "#%u" of the identifier.
    explicit IOSTStream(int identifier);
    ~IOSTStream() override;

    int identifier() const override { return m_identifier; }
    // Unique in the process for its whole run: never shared with another stream, even one
    // made at the same address later (StreamHandle).
    std::uint64_t serial() const { return m_serial; }
    const std::string& name() const { return m_name; }
    const std::string& address() const { return m_address; }
    // A transport is attached.
    bool isOpen() const { return m_device != nullptr; }
    int openCount() const { return m_openCount; }
    StreamDevice* device() const { return m_device.get(); }
    std::uint64_t totalReceived() const { return m_totalReceived.load(std::memory_order_relaxed); }

    // Every block of bytes the stream takes in goes to the tap first, before framing, on the thread that
    // feeds the stream: what a raw log records. Setting another tap (or none) waits for a call in progress,
    // so the old one may go once this returns; a tap therefore must not wait for other threads.
    using ByteTap = std::function<void(std::span<const std::uint8_t>)>;
    void setByteTap(ByteTap tap);

    // Opens the transport of the record's type. Each successful open from a record counts:
    // as many closes are needed before the transport really closes.
    virtual StreamStatus open(const StreamAddress& address);
    // The two halves of open(): opening a transport of the record's type, unattached (it may
    // take seconds: a name lookup, a connection; any thread may run it), and attaching what
    // it opened, on the owner's thread, as open() does.
    static StreamStatus openTransport(const StreamAddress& address, std::unique_ptr<StreamDevice>& device);
    StreamStatus attachOpened(std::unique_ptr<StreamDevice> device, const StreamAddress& address);
    // Opens from an address text; a text that is no "/dev/" address is a file path opened
    // with `mode`. Closes once first.
    StreamStatus open(std::string_view text, std::string_view mode);
    virtual StreamStatus close();

    // Notifies "sent" and "send", then transmits. With `escape` on a stream whose transport
    // asks for it, a binary frame (0xFE ... 0xFF) leaves with its inner 0xFD, 0xFE and 0xFF
    // escaped. Returns the bytes the transport took (0 for an escaped frame cut short, and
    // 0 without any notification when the transport is not open).
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries = 0,
                      int retryDelayMs = kDefaultRetryDelayMs, bool escape = true);
    std::size_t write(std::string_view text, int retries = 0, int retryDelayMs = kDefaultRetryDelayMs,
                      bool escape = true);
    // For a writer that waits for room on a thread of its own: hands over, without waiting and
    // unescaped, as much as the transport takes now (nothing while more than `maxWaiting` bytes
    // wait in it), then notifies "sent" and "send" of just the bytes it took, so that nothing is
    // shown as sent that did not leave. None when no open transport is attached.
    std::optional<std::size_t> writeAvailable(std::span<const std::uint8_t> bytes, std::size_t maxWaiting);
    // Sends a record's data as write() does: Ok when all of it left (or the stream is not
    // open), NotOpen otherwise.
    virtual StreamStatus sendEvent(StreamEvent& event);
    // Reads straight from the transport, for callers that do not subscribe.
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait);
    virtual std::size_t bytesWaitingToBeSent() const;

    // The receive path: take bytes from the transport (poll) or from the caller (feed), pass
    // them through the ping window, frame them and deliver every complete message.
    virtual void poll();
    // Poll on behalf of `device`, a transport's receive thread: nothing when the device is
    // no longer the stream's (it was replaced or detached while its thread ran).
    void pollFrom(StreamDevice& device);
    virtual void feed(std::span<const std::uint8_t> bytes);
    // Drops the next block of received bytes, and whatever is held.
    virtual void discardInput();
    // Waits for one framing result, reading from the transport with waiting as needed:
    // Complete or Discarded with the record filled (its bytes valid until the next call),
    // Idle when a read returned nothing, EndOfStream when there is no transport or it is
    // at its end. Bypasses the ping window, the byte count and the subscribers.
    messages::ReadStatus receive(StreamEvent& event);

    virtual void notifySent();
    virtual void notifyOpen();
    virtual void notifyClose();
    // Told once to every subscriber, whatever its state.
    void notifyConnect(IOSTStream* peer);
    void notifyDisconnect(IOSTStream* peer);
    // The transport can take data again: the pending HTTP response goes on, and once all of
    // it has left the transport ends the connection (its subscribers are told the close).
    // Called on the transport's receive thread.
    virtual void connectionReady();

    // The window that receives "ON_HTTP_REQUEST" (wParam 0, lParam the HttpRequestRecord) for
    // each request collected on this stream; none by default. The handler may leave a response
    // in the record, whose bytes must stay valid until the connection has ended. Once the
    // response has left, the connection ends, also when the request asked to keep it alive:
    // one request per connection, which every client handles.
    void setHttpWindow(platform::Handle window) { m_httpWindow.store(window); }
    platform::Handle httpWindow() const { return m_httpWindow.load(); }

    // The window that receives "ON_RPC_REQUEST" for the remote requests the stream does not
    // serve (set through the remote request library); none by default. It stays across
    // closes and reopens.
    void setRequestWindow(platform::Handle window) { m_requestWindow.store(window); }
    platform::Handle requestWindow() const { return m_requestWindow.load(); }

    // Serves the 'x' frames of every stream: remote requests and the replies to calls. The
    // remote request library installs one for the process; without it such frames are dropped.
    class RequestService
    {
    public:
        virtual ~RequestService() = default;
        // On the stream's receive thread; the frame's bytes are valid only during the call.
        virtual void handleFrame(IOSTStream& stream, const StreamEvent& frame) = 0;
        // The stream closed: whatever the service keeps for it (handles, waiting calls) goes.
        virtual void streamClosed(IOSTStream& stream) = 0;
    };
    static void setRequestService(RequestService* service);
    static RequestService* requestService();

    // Where the streams report errors that have no other way out ("%s RTCM buffer overflow"):
    // standard error unless told otherwise; null restores it.
    using ErrorTrace = void (*)(std::string_view line);
    static void setErrorTrace(ErrorTrace trace);

protected:
    // Binary frames of letter 'x': remote requests and replies, for the installed service.
    virtual void handleRequestFrame(const StreamEvent& event);

    IOSTStream* callbackStream() override { return this; }
    // Attaches an opened transport, replacing the current one.
    void attachDevice(std::unique_ptr<StreamDevice> device, bool escapeOnWrite);
    void setEscapeOnWrite(bool on) { m_escapeOnWrite = on; }
    bool escapeOnWrite() const { return m_escapeOnWrite; }
    void setAddressText(std::string_view text);

private:
    friend class StreamRegistry;

    struct Transmitted
    {
        std::size_t written = 0;
        bool complete = false;
    };
    class ReceiveScope;

    // "sent", then "send" of `bytes`; false once a handler destroyed the stream.
    bool notifySentBytes(const Presence& presence, std::span<const std::uint8_t> bytes);
    void onPingSentence() override;
    void onHttpRequest(messages::HttpRequestRecord& record) override;
    void onRtcmOverflow() override;

    Transmitted transmit(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs, bool escape);
    Transmitted transmitEscaped(StreamDevice& device, const std::uint8_t* bytes, std::size_t count, int retries,
                                int retryDelayMs);
    // The receive path; each step answers false once a handler closed, reopened or destroyed
    // the stream, after which the thread leaves without touching it again.
    bool takeBlock(std::span<const std::uint8_t> block, const ReceiveScope& scope);
    bool frameAll(const ReceiveScope& scope);
    bool makeRoom(const ReceiveScope& scope);
    void deliver(const messages::FrameResult& frame);
    void passPingWindow(std::span<const std::uint8_t> block);
    std::uint64_t frameDataStart(std::span<const std::uint8_t> block) const;
    void forgetPingWindowBefore(std::uint64_t position);
    void resetPingWindow();
    void answerPing();
    void answerPendingPing();
    // Stops the attached transport's threads (as far as they can be waited for from here),
    // detaches it and disposes of it.
    void detachDevice();

    const int m_identifier;
    const std::uint64_t m_serial;
    const std::string m_name;
    std::string m_address;
    int m_openCount = 0;
    bool m_escapeOnWrite = false;
    std::atomic<bool> m_discard{false};
    std::atomic<std::uint64_t> m_totalReceived{0};
    std::atomic<platform::Handle> m_httpWindow{platform::kNoHandle};
    std::atomic<platform::Handle> m_requestWindow{platform::kNoHandle};

    std::unique_ptr<StreamDevice> m_device;
    // The attached transport as its receive thread sees it.
    std::atomic<StreamDevice*> m_attached{nullptr};
    // Transports without a thread of their own that were detached by a thread at work inside
    // the stream: that thread may still run in them, so they go at the next detach from
    // outside, or with the stream.
    std::mutex m_retiredMutex;
    std::vector<std::unique_ptr<StreamDevice>> m_retired;
    // Counts closes: a receive path that sees it change leaves the stream alone.
    std::atomic<std::uint64_t> m_closeGeneration{0};
    // One writer at a time hands bytes to the transport, so that every message (the owner's,
    // a ping answer, a request reply) leaves whole and in order. Held only while bytes are
    // handed over, never across a notification.
    std::mutex m_writeMutex;
    std::mutex m_tapMutex;
    ByteTap m_tap;
    std::atomic<bool> m_tapped{false};

    messages::MessageFramer m_framer;
    std::array<std::uint8_t, kBufferCapacity> m_readBuffer{};
    // When the last block of received bytes arrived; the receive thread's alone.
    std::chrono::steady_clock::time_point m_arrival{};

    // Positions count every byte that entered the receive buffer since the stream was made;
    // they tell whether the ping the framer found is one the window already answered.
    std::uint64_t m_position = 0;
    std::array<std::uint8_t, kPingWindowSize> m_pingWindow{};
    std::size_t m_pingCount = 0;
    std::uint64_t m_pingWindowEnd = 0;
    std::uint64_t m_pingAnsweredUpTo = 0;
    bool m_pingPending = false;
    std::array<char, 16 + 1023 + 2> m_pingAnswer{};
};

} // namespace zeb::stream
