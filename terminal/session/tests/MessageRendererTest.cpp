#include "terminal/session/MessageRenderer.h"

#include "messages/Classifier.h"
#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/OutputBuffer.h"
#include "testsupport/CodecTestSupport.h"
#include "stream/StreamEvent.h"
#include "terminal/session/tests/RecordingSink.h"
#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

#include <memory>

namespace zeb::terminal::test {
namespace {

using codecs::test::Frame;
using codecs::test::sbinFrame;
using codecs::test::operator+;
using messages::MessageKind;
namespace mt = messages::message_type;

// A record that owns its bytes (followed by the zero byte records promise).
class Message
{
public:
    Message(MessageKind kind, const Frame& bytes, messages::MessageType type)
        : m_bytes(bytes)
    {
        m_bytes.push_back(0);
        event.setData(m_bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        event.kind = kind;
        event.type = type;
        event.status = messages::ReadStatus::Complete;
    }
    Message(MessageKind kind, const Frame& bytes)
        : Message(kind, bytes, messages::classify(kind, bytes))
    {
    }
    Message(MessageKind kind, std::string_view text)
        : Message(kind, Frame(text.begin(), text.end()))
    {
    }

    stream::StreamEvent event;

private:
    Frame m_bytes;
};

// Words 3-10 of an iono/UTC page, as in the codec's own tests.
const Frame kIonoBody = {0x78, 0x0C, 0x00, 0xFF, 0x00, 0x50, 0x00, 0xFE, 0x00, 0x00, 0x00, 0x05,
                         0xFF, 0xFF, 0xFF, 0xF0, 0x90, 0xA5, 0x12, 0x89, 0x07, 0x12, 0xAA, 0x55};
// Week 2300, 345600.0 s, interval, then one channel block of satellite 120.
const Frame kMeasurementBody = Frame{0x08, 0xFC, 0x34, 0xBC, 0x00, 0xA9}
    + Frame{4, 120, 0x00, 0x00, 0x03, 0xE8, 0x45, 0, 0, 0, 0x00, 0x00, 0x10, 0,
            0, 0,   0,    0,    0,    0,    0,    0, 0, 0, 0,    0,    0,    0};

// What the process's codec for (kind, type) renders for the frame, for comparison.
std::string codecText(MessageKind kind, messages::MessageType type, const Frame& frame)
{
    codecs::MessageCodec* codec = codecs::CodecRegistry::instance().find(kind, type);
    if (!codec || codec->decode(frame) != codecs::codec_status::Ok) {
        return "(no codec text)";
    }
    auto out = std::make_unique<codecs::OutputBuffer>();
    if (codec->renderText(*out) != codecs::codec_status::Ok) {
        return "(not rendered)";
    }
    return std::string(out->text());
}

class MessageRendererTest : public ::testing::Test
{
protected:
    std::vector<Piece> render(const stream::StreamEvent& event, Direction direction = Direction::Receive)
    {
        sink.pieces.clear();
        renderer.render(event, direction, options, sink);
        return sink.pieces;
    }
    std::string text(const stream::StreamEvent& event, Direction direction = Direction::Receive)
    {
        render(event, direction);
        return sink.all();
    }
    void setMode(MessageCategory category, DisplayMode mode, Direction direction = Direction::Receive)
    {
        options.pair(category, direction).mode = static_cast<std::uint32_t>(mode);
    }

    MessageRenderer renderer;
    TerminalOptions options;
    RecordingSink sink;
};

TEST_F(MessageRendererTest, SBinMembersByMode)
{
    const Frame iono = sbinFrame('U', kIonoBody);
    const Frame measurement = sbinFrame('R', kMeasurementBody);
    const Frame waas = sbinFrame('W', Frame{1, 2, 3});
    const std::string ionoText = codecText(MessageKind::SBin, mt::GnssIonoTropo, iono);
    ASSERT_EQ(ionoText.front(), '\x02');
    struct Case
    {
        const char* what;
        Frame frame;
        DisplayMode mode;
        std::string expected;
    };
    const Case cases[] = {
        {"decoded U", iono, DisplayMode::Decoded, ionoText},
        {"summary R carries the frame's time", measurement, DisplayMode::Summary,
         "Receive message R stamped 2300:345600.0\r\n"},
        {"W in summary", waas, DisplayMode::Summary, "Receive WAAS message\r\n"},
        {"a letter without a codec shows nothing when decoded", sbinFrame('Z', Frame{1}), DisplayMode::Decoded, ""},
        {"a codec that declines: the frame as it is", sbinFrame('Q', Frame{1}), DisplayMode::Decoded,
         std::string("\xFE"
                     "Q\x00\x04\x01\x00\x56\xFF",
                     8)},
    };
    for (const Case& c : cases) {
        setMode(MessageCategory::SBin, c.mode);
        const Message message(MessageKind::SBin, c.frame);
        EXPECT_EQ(text(message.event), c.expected) << c.what;
        for (const Piece& piece : sink.pieces) {
            EXPECT_EQ(piece.colour, 0x0000FFU) << c.what;
        }
    }
    setMode(MessageCategory::SBin, DisplayMode::Summary, Direction::Send);
    const Message sent(MessageKind::SBin, iono);
    EXPECT_EQ(render(sent.event, Direction::Send), (std::vector<Piece>{{0x000080, "Receive message U\r\n"}}))
        << "summaries read Receive in both directions";
}

TEST_F(MessageRendererTest, WarmRenderingAllocatesNothing)
{
    const Message sentence(MessageKind::Telecommand, "$GPGSV,3,1,12,01,02,03,04*70\r\n");
    Frame big(600, 0x41);
    big.back() = 0x03;
    const Message unknown(MessageKind::Unknown, big);
    const Message iono(MessageKind::SBin, sbinFrame('U', kIonoBody));
    const Message measurement(MessageKind::SBin, sbinFrame('R', kMeasurementBody));
    Message rtcm(MessageKind::RTCM, Frame{0x66, 0x41});
    messages::RtcmMessage decode;
    rtcm.event.setRtcm(&decode);

    sink.keep = false;
    const std::pair<const Message*, DisplayMode> cases[] = {
        {&sentence, DisplayMode::Text},       {&unknown, DisplayMode::Hexadecimal}, {&iono, DisplayMode::Decoded},
        {&measurement, DisplayMode::Summary}, {&rtcm, DisplayMode::Summary},
    };
    for (const auto& [message, mode] : cases) {
        options = TerminalOptions();
        for (DisplayPair& pair : options.pairs()) {
            pair.mode = static_cast<std::uint32_t>(mode);
        }
        renderer.render(message->event, Direction::Receive, options, sink);
        const std::size_t shown = sink.count;
        const testsupport::AllocationCounter counter;
        for (int i = 0; i < 100; ++i) {
            renderer.render(message->event, Direction::Receive, options, sink);
        }
        EXPECT_EQ(counter.count(), 0U) << static_cast<int>(mode);
        EXPECT_EQ(sink.count, shown + 100);
    }
}

} // namespace
} // namespace zeb::terminal::test
