#include "stream/FileDevice.h"
#include "stream/MemoryDevice.h"
#include "testsupport/StreamTestSupport.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace zeb::stream {
namespace {

using messages::MessageKind;
using messages::ReadStatus;
using testing::Bytes;
using testing::bytesOf;
using testing::Recorder;
using testing::ScriptedTransport;
namespace message_type = messages::message_type;

StreamAddress clientAddress(const std::string& host = "host")
{
    StreamAddress address = testing::addressOfType(stream_type::Client);
    address.client.host = host;
    return address;
}

// A stream whose every notification is recorded.
class RecordedStream : public ::testing::Test
{
protected:
    RecordedStream() { recorder.subscribeTo(stream); }

    Recorder recorder;
    IOSTStream stream{IOSTStream::kAnonymous};
};

// ---- opening and closing ----------------------------------------------------------------------

TEST_F(RecordedStream, ARecordWithoutATransportFailsCleanlyAndNotifiesNothing)
{
    EXPECT_EQ(stream.open(testing::addressOfType(stream_type::Dpram)), StreamStatus::OpenFailed);
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.openCount(), 0);
    EXPECT_TRUE(stream.address().empty());
    EXPECT_TRUE(recorder.codes().empty());
}

TEST_F(RecordedStream, AMemoryRecordTakesItsAddressAndIsReadNeverWritten)
{
    const Bytes block = bytesOf("$GPHDT,1.0,T\r\n$GPHDT,2.0,T\r\n");
    const std::uint32_t key = MemoryDevice::lendBlock(block);
    StreamAddress memory = testing::addressOfType(stream_type::Buffer);
    memory.buffer = {key, static_cast<std::uint32_t>(block.size())};
    ASSERT_EQ(stream.open(memory), StreamStatus::Ok);
    EXPECT_EQ(stream.address(), "/dev/buffer/" + std::to_string(key) + "[28]");

    // Writes do nothing and tell nobody.
    recorder.clear();
    EXPECT_EQ(stream.write("$X\r\n"), 0u);
    EXPECT_TRUE(recorder.codes().empty());
    StreamEvent event;
    EXPECT_EQ(stream.receive(event), ReadStatus::Complete);
    EXPECT_EQ(event.text(), "$GPHDT,1.0,T\r\n");
    EXPECT_EQ(stream.receive(event), ReadStatus::Complete);
    EXPECT_EQ(event.text(), "$GPHDT,2.0,T\r\n");
    EXPECT_EQ(stream.receive(event), ReadStatus::EndOfStream);
    EXPECT_TRUE(recorder.of(StreamEventCode::Receive).empty()) << "the blocking receive bypasses the subscribers";
    MemoryDevice::withdrawBlock(key);
}

TEST_F(RecordedStream, NestedOpensFromRecordsNeedAsManyCloses)
{
    ScriptedTransport client(stream_type::Client, false);
    ASSERT_EQ(stream.open(clientAddress()), StreamStatus::Ok);
    ASSERT_EQ(stream.open(clientAddress()), StreamStatus::Ok);
    EXPECT_EQ(client.log().destroyed, 1) << "the second open replaces the first transport";
    EXPECT_EQ(stream.close(), StreamStatus::Ok);
    EXPECT_TRUE(stream.isOpen());
    EXPECT_EQ(recorder.codes(), (std::vector<StreamEventCode>{StreamEventCode::Open, StreamEventCode::Open}));
    EXPECT_EQ(stream.close(), StreamStatus::Ok);
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(recorder.codes().back(), StreamEventCode::Close);
    EXPECT_EQ(client.log().destroyed, 2);
}

// What texts read as is the grammar's business; here, what opening by text does to the stream.
TEST_F(RecordedStream, EveryOpenByTextClosesFirstAndAFileSoOpenedDoesNotCount)
{
    ScriptedTransport serial(stream_type::Serial, true);
    EXPECT_EQ(stream.open("client:anything", "r"), StreamStatus::OpenFailed);
    EXPECT_EQ(recorder.codes(), std::vector<StreamEventCode>{StreamEventCode::Close});

    recorder.clear();
    ASSERT_EQ(stream.open("/dev/serial/3/9600/8/1.0/N", "r"), StreamStatus::Ok);
    EXPECT_EQ(recorder.codes(), (std::vector<StreamEventCode>{StreamEventCode::Close, StreamEventCode::Open}));

    const testsupport::TempFolder folder;
    const std::string path = folder / "file";
    ASSERT_EQ(stream.open(path, "w+b"), StreamStatus::Ok);
    EXPECT_EQ(serial.log().closes, 1);
    EXPECT_EQ(stream.address(), path);
    EXPECT_EQ(stream.openCount(), 0);
    EXPECT_EQ(stream.close(), StreamStatus::Ok);
}

// ---- writing ----------------------------------------------------------------------------------

const Bytes kFrame = {0xFE, 'R', 0x00, 0x03, 0xFF, 0xFD, 0xFF};

TEST(IOSTStreamWrite, SubscribersAreToldBeforeTheBytesLeave)
{
    ScriptedTransport client(stream_type::Client, false);
    Recorder recorder;
    IOSTStream stream(IOSTStream::kAnonymous);
    ASSERT_EQ(stream.open(clientAddress()), StreamStatus::Ok);
    recorder.subscribeTo(stream);
    EXPECT_EQ(stream.write("$GPHDT,1.0,T\r\n"), 14u);
    EXPECT_EQ(recorder.codes(), (std::vector<StreamEventCode>{StreamEventCode::Sent, StreamEventCode::Send}));
    ASSERT_EQ(recorder.count(StreamEventCode::Send), 1u);
    const auto sent = recorder.of(StreamEventCode::Send);
    EXPECT_EQ(sent[0].kind, MessageKind::Telecommand);
    EXPECT_EQ(sent[0].type, message_type::Nmea);
    EXPECT_EQ(sent[0].bytes, "$GPHDT,1.0,T\r\n");
}

TEST(IOSTStreamWrite, BinaryFramesAreEscapedOnlyWhereTheTransportAsksForIt)
{
    const Bytes escaped = {0xFE, 'R', 0x00, 0x03, 0xFD, 0x02, 0xFD, 0x00, 0xFF};
    // Whether the transport escapes, the message, and what goes on the wire.
    const std::tuple<bool, Bytes, Bytes> cases[] = {
        {true, kFrame, escaped},
        {false, kFrame, kFrame},
        {true, {0xFE, 'R', 0xFF, 0x00}, {0xFE, 'R', 0xFF, 0x00}}, // no closing 0xFF: not a frame
        {true, {0xFE, 0xFF}, {0xFE, 0xFF}}, // nothing inside
    };
    for (const auto& [transportEscapes, message, wire] : cases) {
        ScriptedTransport transport(stream_type::Serial, transportEscapes);
        IOSTStream stream(IOSTStream::kAnonymous);
        ASSERT_EQ(stream.open(testing::addressOfType(stream_type::Serial)), StreamStatus::Ok);
        EXPECT_EQ(stream.write(message.data(), message.size()), wire.size());
        EXPECT_EQ(transport.log().written, wire);
    }
}

TEST(IOSTStreamWrite, LongEscapedFramesLeaveInPiecesAndAShortPieceFailsTheWrite)
{
    Bytes frame = {0xFE, 'E', 0x03, 0xEC};
    for (int i = 0; i < 1000; ++i)
        frame.push_back(static_cast<std::uint8_t>(0xFA + i % 6)); // half of them need escaping
    frame.push_back(0xFF);

    ScriptedTransport serial(stream_type::Serial, true);
    IOSTStream stream(IOSTStream::kAnonymous);
    ASSERT_EQ(stream.open(testing::addressOfType(stream_type::Serial)), StreamStatus::Ok);
    const std::size_t written = stream.write(frame.data(), frame.size());
    const auto& log = serial.log();
    EXPECT_EQ(written, log.written.size());
    EXPECT_EQ(log.written, testing::escapedFrame(frame));
    ASSERT_GT(log.writeSizes.size(), 1u);
    for (std::size_t i = 0; i < log.writeSizes.size(); ++i) {
        EXPECT_LE(log.writeSizes[i], 251u);
        if (i + 1 < log.writeSizes.size()) {
            EXPECT_GE(log.writeSizes[i], IOSTStream::kEscapePiece);
        }
    }

    // The whole frame left: sendEvent counts that as success although more bytes went out
    // than the record holds.
    StreamEvent event;
    event.setData(frame.data(), static_cast<std::uint32_t>(frame.size()));
    EXPECT_EQ(stream.sendEvent(event), StreamStatus::Ok);
    EXPECT_EQ(event.stream, &stream);

    serial.log().acceptPerWrite = 100;
    serial.log().writeSizes.clear();
    EXPECT_EQ(stream.write(frame.data(), frame.size()), 0u);
    EXPECT_EQ(serial.log().writeSizes.size(), 1u) << "no piece after a short one";
    EXPECT_EQ(stream.sendEvent(event), StreamStatus::NotOpen);
}

// ---- receiving --------------------------------------------------------------------------------

TEST_F(RecordedStream, DiscardDropsTheNextBlockAndWhatIsHeld)
{
    stream.feed(bytesOf("$GPHDT,1"));
    stream.discardInput();
    stream.feed(bytesOf("23.4,T\r\n$GPHDT,5.0,T\r\n"));
    EXPECT_TRUE(recorder.of(StreamEventCode::Receive).empty());
    stream.feed(bytesOf("$GPZDA\r\n"));
    ASSERT_EQ(recorder.of(StreamEventCode::Receive).size(), 1u);
    EXPECT_EQ(recorder.of(StreamEventCode::Receive)[0].bytes, "$GPZDA\r\n");
    EXPECT_EQ(stream.totalReceived(), 16u) << "dropped bytes are not counted";
}

TEST(IOSTStreamReceive, MessagesCutFromOneBlockShareTheBlocksArrivalTime)
{
    using Clock = std::chrono::steady_clock;
    IOSTStream stream(IOSTStream::kAnonymous);
    std::vector<Clock::time_point> arrivals;
    stream.subscribeCallback(
        [](void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument) {
            if (code == StreamEventCode::Receive)
                static_cast<std::vector<Clock::time_point>*>(context)->push_back(eventArgument(argument).arrival);
        },
        &arrivals);
    const Clock::time_point before = Clock::now();
    stream.feed(bytesOf("$GPHDT,1.0,T\r\n$GPZDA\r\n$GPHD"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stream.feed(bytesOf("T,2.0,T\r\n"));
    ASSERT_EQ(arrivals.size(), 3u);
    EXPECT_GE(arrivals[0], before);
    EXPECT_EQ(arrivals[1], arrivals[0]);
    EXPECT_GT(arrivals[2], arrivals[1]) << "the block that completes a message gives its time";
}

// Request frames ('x') go to the stream's own handler; subscribers never see them.
class RequestCountingStream : public IOSTStream
{
public:
    using IOSTStream::IOSTStream;
    std::vector<Bytes> requests;

protected:
    void handleRequestFrame(const StreamEvent& request) override
    {
        requests.emplace_back(request.data(), request.data() + request.length());
    }
};

TEST(IOSTStreamReceive, RequestFramesGoToTheRequestHandler)
{
    // Kind 2, identifier 7, empty payload: 19 bytes, L = 15, magic bytes escaped on the wire.
    const Bytes frame = {0xFE, 'x',  0x00, 0x0F, 0x01, 0x00, 0xFE, 0xCA, 0x02, 0x00,
                         0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x02, 0x3B, 0xFF};

    Recorder recorder;
    RequestCountingStream stream(IOSTStream::kAnonymous);
    recorder.subscribeTo(stream);
    stream.feed(testing::escapedFrame(frame));
    stream.feed(bytesOf("$GPHDT,1.0,T\r\n"));
    ASSERT_EQ(stream.requests.size(), 1u);
    EXPECT_EQ(stream.requests[0], frame);
    ASSERT_EQ(recorder.of(StreamEventCode::Receive).size(), 1u);
    EXPECT_EQ(recorder.of(StreamEventCode::Receive)[0].type, message_type::Nmea);
}

TEST(IOSTStreamReceive, PollReadsTheTransportAndAHandlerMayCloseTheStream)
{
    ScriptedTransport client(stream_type::Client, false);
    IOSTStream stream(IOSTStream::kAnonymous);
    ASSERT_EQ(stream.open(clientAddress()), StreamStatus::Ok);
    auto* device = static_cast<testing::ScriptedDevice*>(stream.device());

    struct Closer
    {
        int received = 0;
        static void callback(void* context, IOSTStream* stream, StreamEventCode code, std::intptr_t)
        {
            if (code != StreamEventCode::Receive)
                return;
            ++static_cast<Closer*>(context)->received;
            stream->close();
        }
    } closer;
    stream.subscribeCallback(&Closer::callback, &closer);
    client.log().toRead = bytesOf("$GPHDT,1.0,T\r\n$GPHDT,2.0,T\r\n");
    device->signalData(); // the transport's receive thread would do this
    EXPECT_EQ(closer.received, 1) << "nothing is delivered after the close";
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(client.log().destroyed, 0) << "the transport whose thread is inside it must stay alive";
    EXPECT_EQ(stream.totalReceived(), 28u);
    stream.close();
    EXPECT_EQ(client.log().destroyed, 1);
}

// ---- the ping answer --------------------------------------------------------------------------

class PingTest : public RecordedStream
{
protected:
    void SetUp() override { ASSERT_EQ(stream.open(clientAddress()), StreamStatus::Ok); }
    int answers() const
    {
        const std::string written = testing::textOf(client.log().written);
        int count = 0;
        for (std::size_t at = written.find(kAnswer); at != std::string::npos; at = written.find(kAnswer, at + 1))
            ++count;
        EXPECT_EQ(written.size(), count * kAnswer.size()) << "nothing but answers is written";
        return count;
    }

    static constexpr std::string_view kAnswer = "$PKVR,RPC,PING,/dev/client/host/1000\r\n";
    ScriptedTransport client{stream_type::Client, false};
};

TEST_F(PingTest, EachPingIsAnsweredOnceAndNothingAroundItIsLost)
{
    stream.feed(bytesOf("$PKVR,RPC,PING\r\n"));
    EXPECT_EQ(answers(), 1);
    EXPECT_TRUE(recorder.of(StreamEventCode::Receive).empty()) << "subscribers never see a ping";
    // The ping stays in the window while these arrive; it must not be answered again, nor
    // may the sentence held in between be dropped.
    stream.feed(bytesOf("$GPHD"));
    stream.feed(bytesOf("T,1.0,T\r\n"));
    EXPECT_EQ(answers(), 1);
    // Seen by both the framer and the window scan in one block: still one answer.
    stream.feed(bytesOf("$PKVR,RPC,PING\r\n$GPZDA\r\n"));
    EXPECT_EQ(answers(), 2);
    EXPECT_EQ(recorder.received(), "$GPHDT,1.0,T\r\n$GPZDA\r\n");
}

} // namespace
} // namespace zeb::stream
