#include "messages/codecs/UhfCodec.h"

#include "messages/Checksum.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

UhfCodec::UhfCodec(const Layout& layout)
    : MessageCodec({{messages::MessageKind::UHF, layout.type}})
    , m_layout(layout)
{
}

void UhfCodec::reset()
{
    MessageCodec::reset();
    m_address = 0;
    m_length = 0;
    m_value = 0;
}

int UhfCodec::decodeBinary(std::span<const std::uint8_t> frame)
{
    const std::size_t lengthEnd = m_layout.wideLength ? 5 : 4;
    if (frame.size() < 2 || frame[0] != kStx) {
        return codec_status::NotThisCodec;
    }
    if (frame[1] != static_cast<std::uint8_t>(m_layout.letter)) {
        return codec_status::WrongLetter;
    }
    if (frame.size() < lengthEnd) {
        return codec_status::Truncated;
    }
    // BCD digits are checked as digits: a nibble above 9 would otherwise pass as a number below 100.
    const int address = bcdByte(frame[2]);
    if (address < 0) {
        return codec_status::BadAddress;
    }
    const int length = m_layout.wideLength ? static_cast<int>(readBigEndian(frame.data() + 3, 2)) : bcdByte(frame[3]);
    const std::size_t header = headerSize(m_layout.wideLength, m_layout.timed);
    const std::size_t trailer = m_layout.timed ? 3 : 1;
    if (length < 0 || static_cast<std::size_t>(length) < m_layout.minLength
        || static_cast<std::size_t>(length) < header + trailer) {
        return codec_status::LengthTooSmall;
    }
    m_length = static_cast<std::size_t>(length);
    if (m_length > frame.size()) {
        return codec_status::Truncated;
    }
    m_address = static_cast<unsigned>(address);
    if (m_layout.timed) {
        const int value = bcdByte(frame[lengthEnd]);
        const int high = bcdByte(frame[lengthEnd + 1]);
        const int middle = bcdByte(frame[lengthEnd + 2]);
        const int low = bcdByte(frame[lengthEnd + 3]);
        if (value < 0 || high < 0 || middle < 0 || low < 0) {
            return codec_status::BadValue;
        }
        m_value = static_cast<unsigned>(value);
        const double timeOfPeriod = (high * 10000 + middle * 100 + low) * 0.1;
        const messages::GnssTime now = m_reference ? *m_reference : messages::GnssTime::now();
        setTime(messages::GnssTime::resolve(timeOfPeriod, kTimePeriod, now));
    }
    if (frame[m_length - 1] != kEtx) {
        return codec_status::NoEtx;
    }
    if (m_layout.timed) {
        const std::uint32_t sum = messages::byteSum16(frame.data(), static_cast<std::uint16_t>(m_length - 3)) & 0xFFFFU;
        if (readBigEndian(frame.data() + m_length - 3, 2) != sum) {
            return codec_status::ChecksumMismatch;
        }
    }
    return decodeRecords(frame.subspan(header, m_length - header - trailer));
}

void UhfCodec::beginText(OutputBuffer& out) const
{
    out.clear();
    out.append(kStx);
    out.append("\r\n");
    if (m_layout.timed) {
        out.appendFormat("!D,%u,%.1f\r\n", unsigned{time().week}, time().seconds);
    }
}

void UhfCodec::appendPosition(OutputBuffer& out, const std::array<std::int32_t, 3>& position) const
{
    out.appendFormat("%%N,%d,%.3f,%.3f,%.3f\r\n", static_cast<int>(address()), position[0] * 0.01, position[1] * 0.01,
                     position[2] * 0.01);
}

} // namespace zeb::codecs
