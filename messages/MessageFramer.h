#pragma once

#include "messages/HttpRequestRecord.h"
#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "messages/ReadStatus.h"
#include "messages/RtcmMessage.h"
#include "messages/RtcmWordAssembler.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::messages {

// The result of one framing step. `data` points into the framer's output area and stays
// valid until the next step on the same framer; it is always followed by a zero byte.
struct FrameResult
{
    ReadStatus status = ReadStatus::Idle;
    MessageKind kind = MessageKind::Unknown;
    MessageType type = message_type::Other;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    const RtcmMessage* rtcm = nullptr; // for kind RTCM only
};

// What the framer tells its owner (the stream) besides the messages it hands out.
class FramerHooks
{
public:
    virtual ~FramerHooks() = default;
    // A sentence equal to "$PKVR,RPC,PING\r\n" was taken from the buffer; it is not handed out.
    virtual void onPingSentence() { }
    // An HTTP request has been collected completely (state 3); called before the step hands it
    // out. The owner may leave a response in the record.
    virtual void onHttpRequest(HttpRequestRecord&) { }
    // The RTCM raw buffer overflowed ("%s RTCM buffer overflow").
    virtual void onRtcmOverflow() { }
};

// Cuts a received byte flow into messages. Owns the receive buffer (bytes not yet framed), the
// output area each handed-out message is copied into, the frame state, the RTCM word
// assembler and the HTTP request being collected. Allocates nothing while framing.
class MessageFramer
{
public:
    static constexpr std::size_t kCapacity = 12068;

    explicit MessageFramer(FramerHooks* hooks = nullptr);
    MessageFramer(const MessageFramer&) = delete;
    MessageFramer& operator=(const MessageFramer&) = delete;

    // The free part of the receive buffer: at most kCapacity - 1 - held() bytes, so a zero
    // byte always fits after the bytes held. Write into it, then commit() what was written.
    std::span<std::uint8_t> freeSpace();
    void commit(std::size_t count);
    // Copies as much of `bytes` as fits into the free part; returns the count taken.
    std::size_t append(std::span<const std::uint8_t> bytes);
    std::size_t held() const;
    std::span<const std::uint8_t> heldBytes() const;

    // Whether the bytes held are a binary or STX frame being collected (they begin with its
    // first byte): its bytes are data, whatever they look like.
    bool collectingFrame() const { return m_frame == MessageKind::SBin || m_frame == MessageKind::SVar; }

    // Empties the receive buffer.
    void clearBuffer();
    // Clears the frame state (not the RTCM assembler, which lives across frames).
    void clearState();

    // One framing step. With `flush`, everything held is handed out as Residue.
    FrameResult step(bool flush = false);

    const RtcmWordAssembler& rtcm() const;
    HttpRequestRecord& http();

private:
    enum class RequestLine { NoMatch, Partial, Match };
    enum class SentenceScan { End, Broken, NeedMore };

    bool full() const { return held() >= kCapacity - 1; }
    void compact();

    FrameResult flushStep();
    RequestLine matchRequestLine() const;
    FrameResult collectHttp();
    FrameResult abandonHttp();
    FrameResult rtcmComplete();
    // Returns false when the sentence was a ping, which is taken without a result.
    bool frameSentence(FrameResult& result);
    SentenceScan scanSentence(std::size_t& lineFeed) const;
    FrameResult frameStx();
    FrameResult frameSVar();
    FrameResult frameBinary();
    FrameResult dropLeadByte();

    // Copies `count` bytes into the output area (unless they are already there), classifies them
    // for Complete results, and removes `consumed` bytes from the head of the buffer.
    FrameResult handOut(ReadStatus status, MessageKind kind, const std::uint8_t* bytes, std::size_t count,
                        std::size_t consumed);
    FrameResult pending(ReadStatus status, MessageKind kind);

    FramerHooks* m_hooks;
    MessageKind m_frame = MessageKind::Unknown; // Unknown: no frame in progress
    std::size_t m_head = 0; // first byte held; moved down lazily by compact()
    std::size_t m_tail = 0; // one past the last byte held
    std::array<std::uint8_t, kCapacity> m_buffer{};
    std::array<std::uint8_t, kCapacity> m_output{};
    RtcmWordAssembler m_rtcm;
    HttpRequestRecord m_http;
};

} // namespace zeb::messages
