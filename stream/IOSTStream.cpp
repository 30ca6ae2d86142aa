#include "stream/IOSTStream.h"

#include "messages/Classifier.h"
#include "platform/Messaging.h"
#include "stream/FileDevice.h"
#include "stream/StreamAddress.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "text/Format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zeb::stream {

using messages::FrameResult;
using messages::MessageKind;
using messages::ReadStatus;

namespace {

constexpr std::uint8_t kFrameStart = 0xFE;
constexpr std::uint8_t kFrameEnd = 0xFF;
constexpr std::uint8_t kEscape = 0xFD;
constexpr std::string_view kPingAnswerPrefix = "$PKVR,RPC,PING,";
// Transport wait state: wait until the connection can take data (a response is pending).
constexpr std::uint32_t kWaitForWritable = 2;

platform::LParam asLParam(const void* pointer)
{
    return reinterpret_cast<platform::LParam>(pointer);
}

std::atomic<IOSTStream::RequestService*> g_requestService{nullptr};
// The thread is handing bytes to a transport (and holds that stream's write lock).
thread_local bool t_transmitting = false;

class Transmitting
{
public:
    Transmitting() { t_transmitting = true; }
    ~Transmitting() { t_transmitting = false; }
    Transmitting(const Transmitting&) = delete;
    Transmitting& operator=(const Transmitting&) = delete;
};
std::atomic<std::uint64_t> g_nextSerial{1};

constexpr std::uint8_t kStx = 0x02;

void traceToStandardError(std::string_view line)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

std::atomic<IOSTStream::ErrorTrace> g_errorTrace{&traceToStandardError};

} // namespace

// Held by a thread on the receive path. A handler may close, reopen or destroy the stream;
// the path then ends without touching the stream again.
class IOSTStream::ReceiveScope
{
public:
    explicit ReceiveScope(IOSTStream& stream)
        : m_stream(stream)
        , m_presence(stream)
        , m_generation(stream.m_closeGeneration.load())
    {
    }
    ReceiveScope(const ReceiveScope&) = delete;
    ReceiveScope& operator=(const ReceiveScope&) = delete;

    bool ended() const { return m_presence.sourceGone() || m_stream.m_closeGeneration.load() != m_generation; }

private:
    IOSTStream& m_stream;
    const Presence m_presence;
    const std::uint64_t m_generation;
};

IOSTStream::IOSTStream(int identifier)
    : m_identifier(identifier)
    , m_serial(g_nextSerial.fetch_add(1))
    , m_name(text::format("#%u", static_cast<unsigned>(identifier)))
    , m_framer(this)
{
    StreamRegistry::instance().add(*this);
}

IOSTStream::~IOSTStream()
{
    // No new pin from here; the calls of those pinned end at once, and they let go.
    StreamRegistry::instance().remove(*this);
    if (RequestService* service = requestService())
        service->streamClosed(*this);
    StreamRegistry::instance().waitUnpinned(*this);
    // Only one close, as documented; a transport still attached after it is closed anyway
    // rather than left running against a stream that is gone.
    IOSTStream::close();
    detachDevice();
    const std::lock_guard lock(m_retiredMutex);
    m_retired.clear();
}

// --- opening and closing -----------------------------------------------------------------

StreamStatus IOSTStream::open(const StreamAddress& address)
{
    std::unique_ptr<StreamDevice> device;
    const StreamStatus status = openTransport(address, device);
    if (status != StreamStatus::Ok)
        return status;
    return attachOpened(std::move(device), address);
}

StreamStatus IOSTStream::openTransport(const StreamAddress& address, std::unique_ptr<StreamDevice>& device)
{
    const TransportFactory factory = StreamRegistry::instance().transportFactory(address.type);
    if (!factory.create)
        return StreamStatus::OpenFailed;
    device = factory.create();
    if (!device)
        return StreamStatus::OpenFailed;
    const StreamStatus status = device->open(address);
    if (status != StreamStatus::Ok)
        device.reset();
    return status;
}

StreamStatus IOSTStream::attachOpened(std::unique_ptr<StreamDevice> device, const StreamAddress& address)
{
    if (!device)
        return StreamStatus::OpenFailed;
    // The old transport (if any) goes first, so that its receive thread has stopped before
    // the receive buffer is reset under it.
    attachDevice(std::move(device), StreamRegistry::instance().transportFactory(address.type).escapeOnWrite);
    setAddressText(formatStreamAddress(address));
    ++m_openCount;
    notifyOpen();
    return StreamStatus::Ok;
}

StreamStatus IOSTStream::open(std::string_view text, std::string_view mode)
{
    close();
    m_framer.clearState();
    setAddressText(text);

    StreamAddress record;
    switch (parseOpenText(text, record)) {
    case OpenTarget::Refused:
        return StreamStatus::OpenFailed;
    case OpenTarget::Address:
        return open(record);
    case OpenTarget::File:
        break;
    }
    auto file = std::make_unique<FileDevice>();
    if (file->open(text, mode) != StreamStatus::Ok)
        return StreamStatus::OpenFailed;
    // A file opened by text does not count as an open from a record: one close closes it.
    attachDevice(std::move(file), false);
    notifyOpen();
    return StreamStatus::Ok;
}

StreamStatus IOSTStream::close()
{
    if (m_openCount > 0 && --m_openCount > 0)
        return StreamStatus::Ok;
    StreamStatus result = StreamStatus::Ok;
    if (m_device)
        result = m_device->close();
    detachDevice();
    m_framer.clearState();
    m_framer.clearBuffer();
    resetPingWindow();
    // Waiting calls end before the subscribers hear of the close: one of them may destroy
    // the stream.
    if (RequestService* service = requestService())
        service->streamClosed(*this);
    notifyClose();
    return result;
}

void IOSTStream::setRequestService(RequestService* service)
{
    g_requestService.store(service, std::memory_order_release);
}

IOSTStream::RequestService* IOSTStream::requestService()
{
    return g_requestService.load(std::memory_order_acquire);
}

void IOSTStream::handleRequestFrame(const StreamEvent& event)
{
    if (RequestService* service = requestService())
        service->handleFrame(*this, event);
}

void IOSTStream::attachDevice(std::unique_ptr<StreamDevice> device, bool escapeOnWrite)
{
    detachDevice();
    m_discard = false;
    m_framer.clearState();
    m_framer.clearBuffer();
    resetPingWindow();
    m_device = std::move(device);
    m_escapeOnWrite = escapeOnWrite;
    m_attached.store(m_device.get());
    if (m_device)
        m_device->setOwner(this);
}

void IOSTStream::detachDevice()
{
    // Every receive path under way ends before it touches the stream again; a transport
    // replaced without a close still has its threads stopped before it goes.
    m_closeGeneration.fetch_add(1);
    std::unique_ptr<StreamDevice> old;
    if (m_device) {
        if (m_device->isOpen())
            m_device->close();
        m_attached.store(nullptr);
        old = std::move(m_device);
        old->setOwner(nullptr);
        // A writer on another thread that took the old transport finishes with it first.
        if (!t_transmitting)
            const std::lock_guard lock(m_writeMutex);
    }
    const bool inside = callerInside();
    std::vector<std::unique_ptr<StreamDevice>> done;
    {
        const std::lock_guard lock(m_retiredMutex);
        if (!inside)
            done.swap(m_retired);
        else if (old && !old->handOffToOwnThread(old))
            m_retired.push_back(std::move(old));
    }
    done.clear();
    StreamDevice::dispose(std::move(old));
}

void IOSTStream::setAddressText(std::string_view text)
{
    const std::size_t end = std::min({text.find('\0'), text.size(), kMaxAddressText});
    StreamRegistry::instance().setAddress(*this, text.substr(0, end));
}

// --- writing -------------------------------------------------------------------------------

std::size_t IOSTStream::write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs, bool escape)
{
    if (!m_device || !m_device->isOpen() || (!bytes && count > 0))
        return 0;
    const Presence presence(*this);
    if (!notifySentBytes(presence, {bytes, count}))
        return 0;
    return transmit(bytes, count, retries, retryDelayMs, escape).written;
}

bool IOSTStream::notifySentBytes(const Presence& presence, std::span<const std::uint8_t> bytes)
{
    notifySent();
    if (presence.sourceGone())
        return false;
    StreamEvent event;
    event.setData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    event.status = ReadStatus::Complete;
    event.kind = messages::classifyContent(bytes, false);
    event.type = messages::classify(event.kind, bytes);
    event.stream = this;
    notifySend(event);
    return !presence.sourceGone();
}

std::optional<std::size_t> IOSTStream::writeAvailable(std::span<const std::uint8_t> bytes, std::size_t maxWaiting)
{
    const Presence presence(*this);
    std::size_t taken = 0;
    {
        const std::lock_guard lock(m_writeMutex);
        const Transmitting transmitting;
        StreamDevice* device = m_attached.load();
        if (!device || !device->isOpen())
            return std::nullopt;
        if (device->bytesWaitingToBeSent() > maxWaiting)
            return 0;
        taken = device->write(bytes.data(), bytes.size(), 0, 0);
    }
    if (taken > 0)
        notifySentBytes(presence, bytes.first(taken));
    return taken;
}

std::size_t IOSTStream::write(std::string_view text, int retries, int retryDelayMs, bool escape)
{
    return write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), retries, retryDelayMs, escape);
}

StreamStatus IOSTStream::sendEvent(StreamEvent& event)
{
    if (!m_device || !m_device->isOpen())
        return StreamStatus::Ok;
    const Presence presence(*this);
    notifySent();
    event.stream = this;
    if (presence.sourceGone())
        return StreamStatus::NotOpen;
    notifySend(event);
    if (presence.sourceGone())
        return StreamStatus::NotOpen;
    // Success is every byte leaving, not the count matching the record's length: an escaped
    // frame puts more bytes on the line than the record holds.
    const Transmitted sent = transmit(event.data(), event.length(), 0, kDefaultRetryDelayMs, true);
    return sent.complete ? StreamStatus::Ok : StreamStatus::NotOpen;
}

IOSTStream::Transmitted IOSTStream::transmit(const std::uint8_t* bytes, std::size_t count, int retries,
                                             int retryDelayMs, bool escape)
{
    const std::lock_guard lock(m_writeMutex);
    const Transmitting transmitting;
    // A subscriber may have closed the stream during the send notifications.
    StreamDevice* device = m_attached.load();
    if (!device)
        return {};
    const bool frame
        = escape && m_escapeOnWrite && count >= 2 && bytes[0] == kFrameStart && bytes[count - 1] == kFrameEnd;
    if (frame)
        return transmitEscaped(*device, bytes, count, retries, retryDelayMs);
    const std::size_t written = device->write(bytes, count, retries, retryDelayMs);
    return {written, written == count};
}

// Encodes into a small piece and hands it over whenever kEscapePiece bytes wait, so a frame
// of any length leaves without building its whole encoding.
IOSTStream::Transmitted IOSTStream::transmitEscaped(StreamDevice& device, const std::uint8_t* bytes, std::size_t count,
                                                    int retries, int retryDelayMs)
{
    std::array<std::uint8_t, kEscapePiece + 4> piece{};
    std::size_t used = 0;
    std::size_t total = 0;
    const auto handOver = [&] {
        const std::size_t written = device.write(piece.data(), used, retries, retryDelayMs);
        total += written;
        const bool whole = written == used;
        used = 0;
        return whole;
    };

    piece[used++] = kFrameStart;
    for (std::size_t i = 1; i + 1 < count; ++i) {
        if (used >= kEscapePiece && !handOver())
            return {};
        const std::uint8_t byte = bytes[i];
        if (byte >= kEscape) {
            piece[used++] = kEscape;
            piece[used++] = static_cast<std::uint8_t>(byte - kEscape);
        } else {
            piece[used++] = byte;
        }
    }
    piece[used++] = kFrameEnd;
    if (!handOver())
        return {};
    return {total, true};
}

std::size_t IOSTStream::read(std::uint8_t* buffer, std::size_t maximum, bool wait)
{
    return m_device ? m_device->read(buffer, maximum, wait) : 0;
}

std::size_t IOSTStream::bytesWaitingToBeSent() const
{
    return m_device ? m_device->bytesWaitingToBeSent() : 0;
}

// --- receiving -----------------------------------------------------------------------------

void IOSTStream::poll()
{
    if (StreamDevice* device = m_attached.load())
        pollFrom(*device);
}

void IOSTStream::pollFrom(StreamDevice& device)
{
    if (m_attached.load() != &device)
        return;
    const ReceiveScope scope(*this);
    if (!makeRoom(scope))
        return;
    const std::size_t room = m_framer.freeSpace().size();
    const std::size_t got = device.read(m_readBuffer.data(), room, false);
    if (got == 0)
        return;
    takeBlock({m_readBuffer.data(), std::min(got, room)}, scope);
}

void IOSTStream::feed(std::span<const std::uint8_t> bytes)
{
    const ReceiveScope scope(*this);
    while (!bytes.empty()) {
        if (!makeRoom(scope))
            return;
        const std::size_t portion = std::min(bytes.size(), m_framer.freeSpace().size());
        if (!takeBlock(bytes.first(portion), scope))
            return;
        bytes = bytes.subspan(portion);
    }
}

void IOSTStream::setByteTap(ByteTap tap)
{
    const std::lock_guard lock(m_tapMutex);
    m_tap = std::move(tap);
    m_tapped.store(static_cast<bool>(m_tap), std::memory_order_release);
}

void IOSTStream::discardInput()
{
    m_discard = true;
}

// One block of received bytes; false when the block was discarded or the stream was closed.
bool IOSTStream::takeBlock(std::span<const std::uint8_t> block, const ReceiveScope& scope)
{
    if (m_tapped.load(std::memory_order_acquire)) {
        const std::lock_guard lock(m_tapMutex);
        if (m_tap)
            m_tap(block);
    }
    passPingWindow(block);
    answerPendingPing();
    if (scope.ended())
        return false;
    if (m_discard.exchange(false)) {
        m_framer.clearBuffer();
        m_framer.clearState();
        return false;
    }
    m_framer.append(block);
    m_totalReceived.fetch_add(block.size(), std::memory_order_relaxed);
    m_arrival = std::chrono::steady_clock::now();
    return frameAll(scope);
}

bool IOSTStream::frameAll(const ReceiveScope& scope)
{
    for (;;) {
        const FrameResult frame = m_framer.step(false);
        answerPendingPing();
        if (scope.ended())
            return false;
        if (frame.status == ReadStatus::Discarded)
            continue;
        if (frame.status != ReadStatus::Complete)
            return true;
        deliver(frame);
        if (scope.ended())
            return false;
    }
}

// A frame that can still grow while the buffer is full (a sentence without its line feed, an
// unfinished request line) would stop the stream for good: nothing more could be read. Such
// bytes are handed out as they stand, as a Residue message.
bool IOSTStream::makeRoom(const ReceiveScope& scope)
{
    if (!m_framer.freeSpace().empty())
        return true;
    const FrameResult residue = m_framer.step(true);
    m_framer.clearState();
    if (residue.status == ReadStatus::Complete)
        deliver(residue);
    return !scope.ended();
}

void IOSTStream::deliver(const FrameResult& frame)
{
    StreamEvent event;
    event.status = frame.status;
    event.kind = frame.kind;
    event.type = frame.type;
    event.setData(frame.data, frame.length);
    event.setRtcm(frame.rtcm);
    event.stream = this;
    event.arrival = m_arrival;
    if (frame.kind == MessageKind::SBin && frame.type == messages::message_type::Rpc)
        handleRequestFrame(event);
    else
        notifyReceive(event);
}

messages::ReadStatus IOSTStream::receive(StreamEvent& event)
{
    const ReceiveScope scope(*this);
    const auto handOut = [&](const FrameResult& frame) {
        event.clear();
        event.status = frame.status;
        event.kind = frame.kind;
        event.type = frame.type;
        event.setData(frame.data, frame.length);
        event.setRtcm(frame.rtcm);
        event.stream = this;
        event.arrival = m_arrival;
        return frame.status;
    };
    for (;;) {
        const FrameResult frame = m_framer.step(false);
        answerPendingPing();
        if (scope.ended())
            return ReadStatus::EndOfStream;
        if (frame.status != ReadStatus::Idle && frame.status != ReadStatus::NeedMore)
            return handOut(frame);
        if (m_framer.freeSpace().empty()) {
            const FrameResult residue = m_framer.step(true);
            m_framer.clearState();
            return handOut(residue);
        }
        if (!m_device)
            return ReadStatus::EndOfStream;
        const std::span<std::uint8_t> room = m_framer.freeSpace();
        const std::size_t got = std::min(m_device->read(room.data(), room.size(), true), room.size());
        if (got == 0)
            return !m_device || m_device->atEnd() ? ReadStatus::EndOfStream : ReadStatus::Idle;
        m_framer.commit(got);
        m_arrival = std::chrono::steady_clock::now();
        // These bytes bypass the ping window: keep the window from matching across the gap.
        m_position += got;
        resetPingWindow();
    }
}

// --- the ping answer -----------------------------------------------------------------------

// A block passes the window of the last 32 bytes before it is framed, which catches a ping
// the framer cannot see (after a stray byte, say). The window only searches up to the byte
// before the newest, so a ping is found once a further byte has arrived. Each ping is answered
// once: the bytes up to a ping that was answered, by either path, leave the window. Bytes of a
// binary or STX frame are data: from the start of a frame being collected, or of one that
// begins in this block, the window answers nothing (the framer still answers a ping sentence
// that follows a frame).
void IOSTStream::passPingWindow(std::span<const std::uint8_t> block)
{
    const std::size_t size = block.size();
    const bool collecting = m_framer.collectingFrame();
    const std::uint64_t dataFrom = frameDataStart(block);
    if (m_pingCount + size <= kPingWindowSize) {
        std::memcpy(m_pingWindow.data() + m_pingCount, block.data(), size);
        m_pingCount += size;
    } else if (size < kPingWindowSize) {
        const std::size_t drop = m_pingCount + size - kPingWindowSize;
        std::memmove(m_pingWindow.data(), m_pingWindow.data() + drop, m_pingCount - drop);
        std::memcpy(m_pingWindow.data() + m_pingCount - drop, block.data(), size);
        m_pingCount = kPingWindowSize;
    } else {
        std::memcpy(m_pingWindow.data(), block.data() + size - kPingWindowSize, kPingWindowSize);
        m_pingCount = kPingWindowSize;
    }
    m_position += size;
    m_pingWindowEnd = m_position;

    const std::size_t length = kPingRequest.size();
    for (std::size_t start = 0; start + length < m_pingCount; ++start) {
        if (std::memcmp(m_pingWindow.data() + start, kPingRequest.data(), length) != 0)
            continue;
        const std::uint64_t end = m_pingWindowEnd - m_pingCount + start + length;
        if (end - length >= dataFrom)
            return;
        forgetPingWindowBefore(end);
        // Answered by the caller once the window is done: the answer's notifications may
        // close the stream.
        if (end > m_pingAnsweredUpTo) {
            m_pingAnsweredUpTo = end;
            m_pingPending = true;
        }
        // The bytes held before this block are dropped (never a frame being collected); the
        // block itself is framed as usual.
        if (!collecting) {
            m_framer.clearBuffer();
            m_framer.clearState();
        }
        return;
    }
}

// The position from which bytes belong to a frame: the frame being collected, or the first
// frame start in the block about to be framed; none: the largest position.
std::uint64_t IOSTStream::frameDataStart(std::span<const std::uint8_t> block) const
{
    if (m_framer.collectingFrame())
        return m_position - std::min<std::uint64_t>(m_framer.held(), m_position);
    const auto start
        = std::find_if(block.begin(), block.end(), [](std::uint8_t b) { return b == kFrameStart || b == kStx; });
    return start == block.end() ? std::numeric_limits<std::uint64_t>::max()
                                : m_position + static_cast<std::uint64_t>(start - block.begin());
}

void IOSTStream::forgetPingWindowBefore(std::uint64_t position)
{
    const std::uint64_t first = m_pingWindowEnd - m_pingCount;
    if (position <= first)
        return;
    const std::size_t drop = static_cast<std::size_t>(std::min<std::uint64_t>(position - first, m_pingCount));
    std::memmove(m_pingWindow.data(), m_pingWindow.data() + drop, m_pingCount - drop);
    m_pingCount -= drop;
}

void IOSTStream::resetPingWindow()
{
    m_pingCount = 0;
    m_pingWindowEnd = m_position;
}

// Called inside a framing step: the answer waits until the step has returned, so that the
// subscribers it notifies may do anything with the stream.
void IOSTStream::onPingSentence()
{
    const std::uint64_t end = m_position - std::min<std::uint64_t>(m_framer.held(), m_position);
    forgetPingWindowBefore(end);
    if (end <= m_pingAnsweredUpTo)
        return;
    m_pingAnsweredUpTo = end;
    m_pingPending = true;
}

void IOSTStream::setErrorTrace(ErrorTrace trace)
{
    g_errorTrace.store(trace ? trace : &traceToStandardError);
}

void IOSTStream::onRtcmOverflow()
{
    // On the receive path: no allocation, the address text is at most 1023 characters.
    char line[1100];
    const int length = std::snprintf(line, sizeof line, "%s RTCM buffer overflow", address().c_str());
    g_errorTrace.load()({line, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof line) - 1))});
}

void IOSTStream::answerPendingPing()
{
    if (!m_pingPending)
        return;
    m_pingPending = false;
    answerPing();
}

void IOSTStream::answerPing()
{
    const std::size_t addressLength = std::min(m_address.size(), kMaxAddressText);
    char* out = m_pingAnswer.data();
    std::memcpy(out, kPingAnswerPrefix.data(), kPingAnswerPrefix.size());
    out += kPingAnswerPrefix.size();
    std::memcpy(out, m_address.data(), addressLength);
    out += addressLength;
    *out++ = '\r';
    *out++ = '\n';
    write(std::string_view(m_pingAnswer.data(), static_cast<std::size_t>(out - m_pingAnswer.data())), 10,
          kDefaultRetryDelayMs, true);
}

// --- HTTP requests -------------------------------------------------------------------------

// Called inside a framing step, on the receive thread, once a request is complete. A response
// left by the window goes out when the transport can take data (connectionReady).
void IOSTStream::onHttpRequest(messages::HttpRequestRecord& record)
{
    const platform::Handle window = m_httpWindow.load();
    if (window == platform::kNoHandle)
        return;
    platform::send(window, StreamRegistry::messages().httpRequest, 0, asLParam(&record));
    if (record.response && record.responseCount > 0 && m_device)
        m_device->setWaitState(kWaitForWritable);
}

void IOSTStream::connectionReady()
{
    messages::HttpRequestRecord& request = m_framer.http();
    const Presence presence(*this);
    while (m_device && request.response && request.responseCount > 0) {
        const std::size_t written = write(request.response, request.responseCount, 0, kDefaultRetryDelayMs, false);
        if (presence.sourceGone())
            return;
        request.response += written;
        request.responseCount -= written;
        // A socket that just reported room and takes nothing is broken: give up on the rest
        // rather than spin on it.
        if (written == 0)
            break;
        if (request.responseCount > 0 && m_device) {
            m_device->setWaitState(kWaitForWritable);
            return;
        }
    }
    request.response = nullptr;
    request.responseCount = 0;
    // Only the transport is closed here, on its own thread; it tells the subscribers once its
    // thread has left the connection, and the stream's owner still closes the stream.
    if (m_device)
        m_device->close();
}

// --- notifications -------------------------------------------------------------------------

void IOSTStream::notifySent()
{
    deliverStreamEvent(Rule::ConsumeMarks, StreamRegistry::messages().sent, 0, asLParam(this), this,
                       StreamEventCode::Sent, 0);
}

void IOSTStream::notifyOpen()
{
    deliverStreamEvent(Rule::ConsumeMarks, StreamRegistry::messages().open, 0, asLParam(this), this,
                       StreamEventCode::Open, 0);
}

void IOSTStream::notifyClose()
{
    deliverStreamEvent(Rule::ConsumeMarks, StreamRegistry::messages().close, 0, asLParam(this), this,
                       StreamEventCode::Close, 0);
}

void IOSTStream::notifyConnect(IOSTStream* peer)
{
    deliverStreamEvent(Rule::Everyone, StreamRegistry::messages().connect, reinterpret_cast<platform::WParam>(peer),
                       asLParam(this), this, StreamEventCode::Connect, asLParam(peer));
}

void IOSTStream::notifyDisconnect(IOSTStream* peer)
{
    deliverStreamEvent(Rule::Everyone, StreamRegistry::messages().disconnect, reinterpret_cast<platform::WParam>(peer),
                       asLParam(this), this, StreamEventCode::Disconnect, asLParam(peer));
}

} // namespace zeb::stream
