#include "stream/serial/SerialDevice.h"

#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/serial/SerialTransport.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/EventJournal.h"
#include "testsupport/SocatPair.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zeb::stream::serial {
namespace {

using namespace std::chrono_literals;
using messages::MessageKind;
using testing::PeerLine;
using testing::SocatPair;
using testsupport::EventJournal;
using testsupport::eventually;
using Clock = std::chrono::steady_clock;

constexpr const char* kLineAddress = "/dev/serial/com7,115200,8,1.0,N";

StreamAddress lineAddress(std::string_view text = kLineAddress)
{
    StreamAddress address;
    parseStreamAddress(text, address);
    return address;
}

std::int64_t millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Received messages as kind and text, to compare two journals.
std::vector<std::pair<MessageKind, std::string>> messagesOf(const EventJournal& journal)
{
    std::vector<std::pair<MessageKind, std::string>> messages;
    for (const auto& entry : journal.of(StreamEventCode::Receive))
        messages.emplace_back(entry.kind, entry.bytes);
    return messages;
}

class SerialLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerSerialTransport();
        settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(settings);
        ASSERT_TRUE(pair.ready()) << "socat could not make a pseudo-terminal pair";
        settings->writeText("SerialPorts", "COM7", pair.endA());
        settings->writeText("SerialPorts", "COM9", pair.endA() + ".missing");
        peer = std::make_unique<PeerLine>(pair.endB());
        ASSERT_TRUE(peer->isOpen());
    }
    void TearDown() override { platform::Settings::install(std::make_shared<platform::MemorySettings>()); }

    std::shared_ptr<platform::MemorySettings> settings;
    SocatPair pair;
    std::unique_ptr<PeerLine> peer;
};

// ---- opening ------------------------------------------------------------------------------------

TEST_F(SerialLine, MissingDeviceFailsWithTheSystemError)
{
    SerialDevice device;
    EXPECT_EQ(device.open(lineAddress("/dev/serial/com9,9600,8,1.0,N")), StreamStatus::OpenFailed);
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.errorText(), "SerialDevice:316, error 2 name '" + pair.endA() + ".missing'");
    EXPECT_EQ(device.close(), StreamStatus::Ok);
}

// ---- moving bytes -------------------------------------------------------------------------------

TEST_F(SerialLine, CapturedSentencesArriveAsWhenFedDirectly)
{
    const std::string capture = testsupport::readFile(testsupport::captureFolder() / "nmea" / "quectel-L70.nmea");
    ASSERT_GT(capture.size(), 1000u);

    EventJournal direct;
    {
        IOSTStream reference(IOSTStream::kAnonymous);
        direct.subscribeTo(reference);
        reference.feed({reinterpret_cast<const std::uint8_t*>(capture.data()), capture.size()});
    }
    ASSERT_GT(direct.count(StreamEventCode::Receive), 50u);

    EventJournal received;
    IOSTStream stream(IOSTStream::kAnonymous);
    received.subscribeTo(stream);
    ASSERT_EQ(stream.open(kLineAddress, ""), StreamStatus::Ok);
    ASSERT_TRUE(peer->writeAll(capture));
    const auto count = [](const EventJournal& journal) { return journal.count(StreamEventCode::Receive); };
    EXPECT_TRUE(eventually([&] { return count(received) >= count(direct); }));
    EXPECT_EQ(messagesOf(received), messagesOf(direct));
    EXPECT_EQ(stream.totalReceived(), capture.size());
}

TEST_F(SerialLine, ReadTakesWhatTheDriverHoldsAndNeverWaits)
{
    SerialDevice device; // no owning stream: nothing reads but the caller
    ASSERT_EQ(device.open(lineAddress()), StreamStatus::Ok);
    std::uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(device.read(buffer, sizeof buffer, true), 0u);
    EXPECT_LT(millisecondsSince(start), 50);

    ASSERT_TRUE(peer->writeAll("abcdef"));
    std::string got;
    EXPECT_TRUE(eventually([&] {
        const std::size_t n = device.read(buffer, 4, false);
        got.append(reinterpret_cast<const char*>(buffer), n);
        return got.size() >= 6;
    }));
    EXPECT_EQ(got, "abcdef");
}

// ---- the write queue ----------------------------------------------------------------------------

TEST_F(SerialLine, BuffersQueuedMoreThanTenSecondsAreDroppedAtTheNextWrite)
{
    SerialDevice device;
    std::atomic<std::int64_t> now{1000};
    device.setClock([&] { return now.load(); });
    ASSERT_EQ(device.open(lineAddress()), StreamStatus::Ok);
    device.pauseSending();
    const auto write = [&](std::string_view text) {
        return device.write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 0, 0);
    };

    write("first|");
    now = 1010;
    write("second|"); // exactly ten seconds later: the first stays
    EXPECT_EQ(device.bytesWaitingToBeSent(), 13u);
    now = 1011;
    write("third|"); // the first is now older than ten seconds, the second is not
    EXPECT_EQ(device.bytesWaitingToBeSent(), 13u);
    now = 1030;
    write("fourth|"); // everything before it has aged
    EXPECT_EQ(device.bytesWaitingToBeSent(), 7u);

    device.resumeSending();
    EXPECT_EQ(peer->read(1000, 200ms), "fourth|");
}

// ---- closing ------------------------------------------------------------------------------------

TEST_F(SerialLine, CloseIsBoundedWhileBytesPourIn)
{
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
        while (flooding.load())
            peer->writeAll(sentence);
    });
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        EventJournal received;
        IOSTStream stream(IOSTStream::kAnonymous);
        received.subscribeTo(stream);
        ASSERT_EQ(stream.open(kLineAddress, ""), StreamStatus::Ok);
        EXPECT_TRUE(eventually([&] { return received.count(StreamEventCode::Receive) > 10; }));
        const auto start = Clock::now();
        EXPECT_EQ(stream.close(), StreamStatus::Ok);
        EXPECT_LT(millisecondsSince(start), 2 * SerialDevice::kStopWaitMs);
    }
    flooding = false;
    flood.join();
}

TEST_F(SerialLine, CloseIsBoundedWhileTheWriteWaitsForAFullLine)
{
    SerialDevice device;
    ASSERT_EQ(device.open(lineAddress()), StreamStatus::Ok);
    // The peer never reads: the drivers and socat fill up and the write thread waits on the line.
    const std::string piece(4096, 'w');
    for (int i = 0; i < 256; ++i)
        device.write(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size(), 0, 0);
    std::size_t waiting = 0;
    EXPECT_TRUE(eventually([&] {
        waiting = device.bytesWaitingToBeSent();
        std::this_thread::sleep_for(20ms);
        return waiting > 0 && waiting == device.bytesWaitingToBeSent();
    }));
    EXPECT_GT(waiting, 0u);

    const auto start = Clock::now();
    EXPECT_EQ(device.close(), StreamStatus::Ok);
    EXPECT_LT(millisecondsSince(start), SerialDevice::kStopWaitMs);
    EXPECT_EQ(device.close(), StreamStatus::Ok);
}

} // namespace
} // namespace zeb::stream::serial
