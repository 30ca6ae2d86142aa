#pragma once

#include "messages/GnssTime.h"
#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "messages/codecs/OutputBuffer.h"

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <span>
#include <vector>

namespace zeb::codecs {

struct CodecKey
{
    messages::MessageKind kind;
    messages::MessageType type;
    bool operator==(const CodecKey&) const = default;
};

// Decodes one receiver frame into its fields and renders them as text (and, for some members, as a binary frame).
// An object is reused: reset, decode, render; its fields stay until the next reset or decode. One thread uses an
// object at a time (threads that share a registered one take turns through CodecRegistry::lease). Constructing one
// registers it in the process-wide CodecRegistry for `keys`; destroying it removes it again.
class MessageCodec
{
public:
    MessageCodec(std::initializer_list<CodecKey> keys);
    virtual ~MessageCodec();
    MessageCodec(const MessageCodec&) = delete;
    MessageCodec& operator=(const MessageCodec&) = delete;

    bool handles(CodecKey key) const;
    // Published codecs (CodecRegistry::publish) are handed out by CodecRegistry::lease.
    bool published() const { return m_published; }

    virtual void reset();
    // Decodes a frame: one that begins with STX is read as text, one that begins with 0xFE as binary (UHF frames are
    // always binary). Returns 0 or an error code of codec_status; a failure leaves the object invalid.
    int decode(std::span<const std::uint8_t> frame);
    // Writes the text (SVar) form of the decoded message into `out`, replacing what it held. The default declines.
    virtual int renderText(OutputBuffer& out) const;
    // Writes the binary (SBin) form, without the transport's byte escapes. The default declines.
    virtual int renderBinary(OutputBuffer& out) const;

    bool valid() const { return m_valid; }
    const messages::GnssTime& time() const { return m_time; }
    void setTime(const messages::GnssTime& time) { m_time = time; }

protected:
    virtual int decodeBinary(std::span<const std::uint8_t> frame) = 0;
    // Members without a text form to read return NotThisCodec.
    virtual int decodeText(std::span<const std::uint8_t> frame);
    // Whether `frame` is the text form; UHF frames begin with STX too but are binary.
    virtual bool isText(std::span<const std::uint8_t> frame) const;

    void setValid(bool valid) { m_valid = valid; }

private:
    friend class CodecRegistry;

    std::vector<CodecKey> m_keys;
    bool m_published = false; // guarded by the registry's lock
    std::mutex m_turn;
    messages::GnssTime m_time;
    bool m_valid = false;
};

} // namespace zeb::codecs
