#include "terminal/session/MessageRenderer.h"

#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/MessageCodec.h"
#include "messages/codecs/OutputBuffer.h"
#include "messages/codecs/StandardCodecs.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "text/CNumericScope.h"

#include <array>
#include <cstdarg>
#include <cstdio>

namespace zeb::terminal {

namespace {

using messages::MessageKind;
namespace mt = messages::message_type;

constexpr std::array<char, 16> kHexDigits
    = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

// Room for the hexadecimal form of the longest message the framer hands out, so that the receive path
// never grows the buffer.
constexpr std::size_t kReservedText
    = stream::IOSTStream::kBufferCapacity * 3 + (stream::IOSTStream::kBufferCapacity / 16 + 2) * 2;

// The members of the binary (SBin) form that have a codec of their own letter.
bool sbinMember(std::uint8_t letter, messages::MessageType& type)
{
    switch (letter) {
    case 'R':
        type = mt::GnssMeasureSatellite;
        return true;
    case 'A':
        type = mt::GnssAlmanach;
        return true;
    case 'E':
        type = mt::GnssEphemeris;
        return true;
    case 'S':
        type = mt::GnssHealth;
        return true;
    case 'U':
        type = mt::GnssIonoTropo;
        return true;
    default:
        return false;
    }
}

bool uhfMember(std::uint8_t letter, messages::MessageType& type)
{
    switch (letter) {
    case 'T':
        type = mt::UhfLrk;
        return true;
    case 'P':
        type = mt::UhfPhase;
        return true;
    case 'C':
        type = mt::UhfCode;
        return true;
    case 'X':
        type = mt::UhfMessage;
        return true;
    default:
        return false;
    }
}

std::uint8_t letterOf(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 2 ? bytes[1] : 0;
}

} // namespace

MessageRenderer::MessageRenderer()
    : m_output(std::make_unique<codecs::OutputBuffer>())
{
    codecs::registerMessageCodecs();
    m_text.reserve(kReservedText);
}

MessageRenderer::~MessageRenderer() = default;

void MessageRenderer::render(const stream::StreamEvent& event, Direction direction, const TerminalOptions& options,
                             TerminalSink& sink)
{
    const MessageCategory category = TerminalOptions::categoryOf(event.kind);
    const DisplayPair& pair = options.pair(category, direction);
    const Bytes bytes(event.data(), event.data() ? event.length() : 0);
    switch (category) {
    case MessageCategory::SBin:
        showSBin(event, pair, sink);
        return;
    case MessageCategory::UHF:
        showUhf(bytes, pair, sink);
        return;
    case MessageCategory::RTCM:
        showRtcm(event, direction, pair, sink);
        return;
    default:
        showAsIs(bytes, pair, sink);
        return;
    }
}

void MessageRenderer::showSBin(const stream::StreamEvent& event, const DisplayPair& pair, TerminalSink& sink)
{
    const Bytes bytes(event.data(), event.data() ? event.length() : 0);
    const std::uint8_t letter = letterOf(bytes);
    messages::MessageType type = mt::Other;
    if (sbinMember(letter, type)) {
        showMember(MessageKind::SBin, type, static_cast<char>(letter), bytes, pair, sink);
        return;
    }
    const DisplayMode mode = pair.displayMode();
    if (letter == 'W') {
        if (mode == DisplayMode::Summary || mode == DisplayMode::Decoded) {
            sink.show(pair.colour, "Receive WAAS message\r\n");
        }
        return;
    }
    if (mode == DisplayMode::Decoded) {
        if (!showDecoded(MessageKind::SBin, event.type, bytes, pair.colour, sink)) {
            showAsIs(bytes, pair, sink);
        }
        return;
    }
    showAsIs(bytes, pair, sink);
}

void MessageRenderer::showUhf(Bytes bytes, const DisplayPair& pair, TerminalSink& sink)
{
    const std::uint8_t letter = letterOf(bytes);
    messages::MessageType type = mt::Other;
    if (uhfMember(letter, type)) {
        showMember(MessageKind::UHF, type, static_cast<char>(letter), bytes, pair, sink);
    }
}

void MessageRenderer::showMember(MessageKind kind, messages::MessageType type, char letter, Bytes bytes,
                                 const DisplayPair& pair, TerminalSink& sink)
{
    const DisplayMode mode = pair.displayMode();
    if (mode == DisplayMode::Decoded) {
        if (!showDecoded(kind, type, bytes, pair.colour, sink)) {
            showAsIs(bytes, pair, sink);
        }
        return;
    }
    if (mode != DisplayMode::Summary) {
        showAsIs(bytes, pair, sink);
        return;
    }
    if (letter != 'R') {
        showLine(sink, pair.colour, "Receive message %c\r\n", letter);
        return;
    }
    // The measurement summary carries the frame's time, so the frame is decoded; one that does not decode
    // has no time to show and is shown as it is.
    const codecs::CodecRegistry::Lease codec = codecs::CodecRegistry::instance().lease(kind, type);
    if (!codec) {
        return;
    }
    if (codec->decode(bytes) != codecs::codec_status::Ok) {
        showAsIs(bytes, pair, sink);
        return;
    }
    showLine(sink, pair.colour, "Receive message R stamped %u:%.1lf\r\n", static_cast<unsigned>(codec->time().week),
             codec->time().seconds);
}

bool MessageRenderer::showDecoded(MessageKind kind, messages::MessageType type, Bytes bytes, std::uint32_t colour,
                                  TerminalSink& sink)
{
    const codecs::CodecRegistry::Lease codec = codecs::CodecRegistry::instance().lease(kind, type);
    if (!codec) {
        return true;
    }
    if (codec->decode(bytes) != codecs::codec_status::Ok) {
        return false;
    }
    if (codec->renderText(*m_output) != codecs::codec_status::Ok) {
        return false;
    }
    if (m_output->size() > 0) {
        sink.show(colour, m_output->text());
    }
    return true;
}

void MessageRenderer::showRtcm(const stream::StreamEvent& event, Direction direction, const DisplayPair& pair,
                               TerminalSink& sink)
{
    const Bytes bytes(event.data(), event.data() ? event.length() : 0);
    const messages::RtcmMessage* rtcm = event.rtcm();
    // A record without its decode (one built by hand) has nothing to summarise: its bytes are shown.
    if (pair.displayMode() != DisplayMode::Summary || !rtcm) {
        showAsIs(bytes, pair, sink);
        return;
    }
    const auto type = static_cast<unsigned>(rtcm->messageType);
    const auto week = static_cast<unsigned>(rtcm->time.week);
    if (direction == Direction::Receive) {
        showLine(sink, pair.colour, "Receive message RTCM #%u stamped %u:%.1lf\r\n", type, week, rtcm->time.seconds);
        return;
    }
    showLine(sink, pair.colour, "Send message RTCM #%u stamped %u:%.1lf\r\n", type, week, rtcm->time.seconds);
}

void MessageRenderer::showAsIs(Bytes bytes, const DisplayPair& pair, TerminalSink& sink)
{
    const DisplayMode mode = pair.displayMode();
    if (mode == DisplayMode::Hidden) {
        return;
    }
    if (mode == DisplayMode::Hexadecimal) {
        showHexadecimal(bytes, pair.colour, sink);
        return;
    }
    if (bytes.empty()) {
        return;
    }
    m_text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (bytes.back() == kEtx) {
        m_text += "\r\n";
    }
    sink.show(pair.colour, m_text);
}

void MessageRenderer::showHexadecimal(Bytes bytes, std::uint32_t colour, TerminalSink& sink)
{
    if (bytes.empty()) {
        return;
    }
    m_text.clear();
    m_text += "\r\n";
    m_hexCount = 0;
    for (const std::uint8_t byte : bytes) {
        m_text += kHexDigits[byte >> 4];
        m_text += kHexDigits[byte & 0x0F];
        m_text += ' ';
        if (++m_hexCount == kHexBytesPerLine) {
            m_text += "\r\n";
            m_hexCount = 0;
        }
    }
    m_text += "\r\n";
    m_hexCount = 0;
    sink.show(colour, m_text);
}

void MessageRenderer::showLine(TerminalSink& sink, std::uint32_t colour, const char* format, ...)
{
    std::array<char, 128> line{};
    const text::CNumericScope numbers;
    std::va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line.data(), line.size(), format, args);
    va_end(args);
    if (length <= 0) {
        return;
    }
    const auto shown
        = static_cast<std::size_t>(length) < line.size() ? static_cast<std::size_t>(length) : line.size() - 1;
    sink.show(colour, std::string_view(line.data(), shown));
}

} // namespace zeb::terminal
