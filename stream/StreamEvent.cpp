#include "stream/StreamEvent.h"

#include <cstring>
#include <new>

namespace zeb::stream {

StreamEvent::StreamEvent(const StreamEvent& other)
{
    copyFrom(other);
}

StreamEvent& StreamEvent::operator=(const StreamEvent& other)
{
    if (this == &other)
        return *this;
    releaseOwned();
    copyFrom(other);
    return *this;
}

StreamEvent::StreamEvent(StreamEvent&& other) noexcept
{
    takeFrom(other);
}

StreamEvent& StreamEvent::operator=(StreamEvent&& other) noexcept
{
    if (this == &other)
        return *this;
    releaseOwned();
    takeFrom(other);
    return *this;
}

StreamEvent::~StreamEvent()
{
    releaseOwned();
}

void StreamEvent::clear()
{
    releaseOwned();
    resetFields();
}

void StreamEvent::resetFields()
{
    status = messages::ReadStatus::Idle;
    type = messages::message_type::Other;
    kind = messages::MessageKind::Unknown;
    userValue1 = 0;
    userValue2 = 1;
    stream = nullptr;
    arrival = {};
    m_flags = 0;
    m_length = 0;
    m_timeStamp = {};
    m_data = nullptr;
    m_rtcm = nullptr;
}

void StreamEvent::setData(const std::uint8_t* data, std::uint32_t length)
{
    if (m_flags & kOwnsData)
        delete[] m_data;
    m_flags &= ~kOwnsData;
    m_data = data;
    m_length = data ? length : 0;
}

void StreamEvent::setRtcm(const messages::RtcmMessage* rtcm)
{
    if (m_flags & kOwnsRtcm)
        delete m_rtcm;
    m_flags &= ~kOwnsRtcm;
    m_rtcm = rtcm;
}

void StreamEvent::setTimeStamp(std::uint32_t high, std::uint32_t low)
{
    m_timeStamp = {high, low};
    m_flags |= kTimeStampValid;
}

std::string_view StreamEvent::text() const
{
    if (!m_data)
        return {};
    return {reinterpret_cast<const char*>(m_data), m_length};
}

void StreamEvent::releaseOwned()
{
    if (m_flags & kOwnsData)
        delete[] m_data;
    if (m_flags & kOwnsRtcm)
        delete m_rtcm;
    m_flags &= ~(kOwnsData | kOwnsRtcm);
    m_data = nullptr;
    m_rtcm = nullptr;
    m_length = 0;
}

void StreamEvent::copyPublicFields(const StreamEvent& other)
{
    status = other.status;
    type = other.type;
    kind = other.kind;
    userValue1 = other.userValue1;
    userValue2 = other.userValue2;
    stream = other.stream;
    arrival = other.arrival;
}

// Expects a record that owns nothing.
void StreamEvent::copyFrom(const StreamEvent& other)
{
    copyPublicFields(other);
    m_flags = other.m_flags & kTimeStampValid;
    m_timeStamp = hasTimeStamp() ? other.m_timeStamp : std::array<std::uint32_t, 2>{};
    m_data = nullptr;
    m_length = 0;
    m_rtcm = nullptr;

    if (other.m_data) {
        // A failed allocation leaves the copy without data rather than throwing out of a
        // notification handler.
        auto* block = new (std::nothrow) std::uint8_t[std::size_t{other.m_length} + 1];
        if (block) {
            std::memcpy(block, other.m_data, other.m_length);
            block[other.m_length] = 0;
            m_data = block;
            m_length = other.m_length;
            m_flags |= kOwnsData;
        }
    }
    if (other.m_rtcm) {
        auto* decode = new (std::nothrow) messages::RtcmMessage(*other.m_rtcm);
        if (decode) {
            m_rtcm = decode;
            m_flags |= kOwnsRtcm;
        }
    }
}

// Expects a record that owns nothing; leaves `other` as a new record.
void StreamEvent::takeFrom(StreamEvent& other) noexcept
{
    copyPublicFields(other);
    m_flags = other.m_flags;
    m_timeStamp = other.m_timeStamp;
    m_data = other.m_data;
    m_length = other.m_length;
    m_rtcm = other.m_rtcm;
    other.resetFields();
}

} // namespace zeb::stream
