#include "stream/StreamEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <utility>

namespace zeb::stream {
namespace {

using messages::MessageKind;
using messages::ReadStatus;

const std::uint8_t kBytes[] = {'$', 'G', 'P', 'H', 'D', 'T', '\r', '\n', 0};

StreamEvent borrowedRecord(const messages::RtcmMessage* rtcm = nullptr)
{
    StreamEvent event;
    event.status = ReadStatus::Complete;
    event.kind = MessageKind::Telecommand;
    event.type = messages::message_type::Nmea;
    event.userValue1 = 7;
    event.userValue2 = 9;
    event.setData(kBytes, 8);
    event.setRtcm(rtcm);
    return event;
}

TEST(StreamEvent, CopyingMakesZeroTerminatedPrivateCopiesThatOutliveTheSource)
{
    messages::RtcmMessage decode;
    decode.messageType = 9;
    decode.wordCount = 5;
    std::uint8_t source[] = {'a', 'b', 'c', 0};
    StreamEvent original;
    original.status = ReadStatus::Complete;
    original.setData(source, 3);
    original.setRtcm(&decode);
    original.arrival = std::chrono::steady_clock::time_point(std::chrono::milliseconds(1234));
    ASSERT_EQ(original.flags(), 0u) << "a borrowed record owns nothing";

    StreamEvent copy(original);
    EXPECT_EQ(copy.arrival, original.arrival);
    EXPECT_NE(copy.data(), source);
    EXPECT_NE(copy.rtcm(), &decode);
    ASSERT_EQ(copy.length(), 3u);
    EXPECT_EQ(copy.data()[3], 0) << "the copy is zero-terminated";

    // The source's storage changes or goes; the copy stays.
    source[0] = 'X';
    decode.messageType = 1;
    EXPECT_EQ(copy.text(), "abc");
    EXPECT_EQ(copy.rtcm()->messageType, 9);

    // Assignment over a record that already owns copies replaces them (no leak under ASan).
    StreamEvent target(copy);
    const StreamEvent borrowed = borrowedRecord();
    target = borrowed;
    EXPECT_EQ(target.text(), "$GPHDT\r\n");
    EXPECT_EQ(target.rtcm(), nullptr);
    EXPECT_EQ(target.flags(), StreamEvent::kOwnsData);
    EXPECT_EQ(target.userValue1, 7u);

    target = *&target;
    EXPECT_EQ(target.text(), "$GPHDT\r\n") << "self-assignment keeps the data";
}

TEST(StreamEvent, MovingHandsOverOwnershipAndClearingFreesIt)
{
    const StreamEvent borrowed = borrowedRecord();
    StreamEvent owner(borrowed);
    const std::uint8_t* block = owner.data();
    StreamEvent moved(std::move(owner));
    EXPECT_EQ(moved.data(), block);
    EXPECT_EQ(moved.flags() & StreamEvent::kOwnsData, StreamEvent::kOwnsData);
    EXPECT_EQ(owner.data(), nullptr);

    StreamEvent assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.data(), block);

    assigned.clear();
    EXPECT_EQ(assigned.data(), nullptr);
    EXPECT_EQ(assigned.flags(), 0u);
    EXPECT_EQ(assigned.userValue2, 1u);
}

} // namespace
} // namespace zeb::stream
