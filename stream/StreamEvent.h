#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "messages/ReadStatus.h"
#include "messages/RtcmMessage.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string_view>

namespace zeb::stream {

class IOSTStream;

// The record handed to subscribers. A record filled on the receive path borrows its bytes
// from the stream's output area: they stay valid only while the notification runs. Copying a
// record makes private copies of the bytes and of the RTCM decode, which the copy then owns,
// so a subscriber keeps a message by copying its record.
class StreamEvent
{
public:
    static constexpr std::uint32_t kOwnsData = 1u << 0;
    static constexpr std::uint32_t kOwnsRtcm = 1u << 1;
    static constexpr std::uint32_t kTimeStampValid = 1u << 2;

    StreamEvent() = default;
    StreamEvent(const StreamEvent& other);
    StreamEvent& operator=(const StreamEvent& other);
    StreamEvent(StreamEvent&& other) noexcept;
    StreamEvent& operator=(StreamEvent&& other) noexcept;
    ~StreamEvent();

    // Back to the state of a new record, freeing what the record owns.
    void clear();

    // Borrows `length` bytes at `data`, which must be followed by a zero byte.
    void setData(const std::uint8_t* data, std::uint32_t length);
    void setRtcm(const messages::RtcmMessage* rtcm);
    void setTimeStamp(std::uint32_t high, std::uint32_t low);

    std::uint32_t flags() const { return m_flags; }
    const std::uint8_t* data() const { return m_data; }
    std::uint32_t length() const { return m_length; }
    // The bytes as text; empty for a record without data.
    std::string_view text() const;
    const messages::RtcmMessage* rtcm() const { return m_rtcm; }
    bool hasTimeStamp() const { return (m_flags & kTimeStampValid) != 0; }
    std::array<std::uint32_t, 2> timeStamp() const { return m_timeStamp; }

    messages::ReadStatus status = messages::ReadStatus::Idle;
    messages::MessageType type = messages::message_type::Other;
    messages::MessageKind kind = messages::MessageKind::Unknown;
    // Carried along with the record for its users; the stream does not read them.
    std::uint32_t userValue1 = 0;
    std::uint32_t userValue2 = 1;
    IOSTStream* stream = nullptr;
    // When the block of bytes that completed the message arrived: the stream reads the clock once
    // per block, so every message cut from it shares that time. The epoch for a record made
    // elsewhere.
    std::chrono::steady_clock::time_point arrival{};

private:
    void releaseOwned();
    void resetFields();
    void copyPublicFields(const StreamEvent& other);
    void copyFrom(const StreamEvent& other);
    void takeFrom(StreamEvent& other) noexcept;

    std::uint32_t m_flags = 0;
    std::uint32_t m_length = 0;
    std::array<std::uint32_t, 2> m_timeStamp{};
    const std::uint8_t* m_data = nullptr;
    const messages::RtcmMessage* m_rtcm = nullptr;
};

} // namespace zeb::stream
