#include "messages/codecs/WireFormat.h"

#include "messages/Checksum.h"
#include "messages/codecs/CodecStatus.h"
#include "text/Scan.h"

#include <cmath>

namespace zeb::codecs {

std::uint32_t readBigEndian(const std::uint8_t* at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        value = (value << 8) | at[i];
    }
    return value;
}

std::int32_t signExtend(std::uint32_t raw, unsigned bits)
{
    if (bits == 0 || bits >= 32) {
        return static_cast<std::int32_t>(raw);
    }
    const std::uint32_t mask = (std::uint32_t{1} << bits) - 1;
    const std::uint32_t sign = std::uint32_t{1} << (bits - 1);
    raw &= mask;
    return static_cast<std::int32_t>((raw ^ sign) - sign);
}

std::uint32_t readBits(Bytes stream, std::size_t offset, unsigned bits)
{
    std::uint32_t value = 0;
    for (unsigned i = 0; i < bits; ++i) {
        const std::size_t bit = offset + i;
        const std::size_t byte = bit / 8;
        const unsigned set = byte < stream.size() ? (stream[byte] >> (7 - bit % 8)) & 1U : 0U;
        value = (value << 1) | set;
    }
    return value;
}

void writeBits(std::span<std::uint8_t> stream, std::size_t offset, unsigned bits, std::uint32_t value)
{
    for (unsigned i = 0; i < bits; ++i) {
        const std::size_t bit = offset + i;
        const std::size_t byte = bit / 8;
        if (byte >= stream.size()) {
            return;
        }
        const auto mask = static_cast<std::uint8_t>(0x80U >> (bit % 8));
        if ((value >> (bits - 1 - i)) & 1U) {
            stream[byte] = static_cast<std::uint8_t>(stream[byte] | mask);
        } else {
            stream[byte] = static_cast<std::uint8_t>(stream[byte] & ~mask);
        }
    }
}

int bcdByte(std::uint8_t byte)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) {
        return -1;
    }
    return high * 10 + low;
}

std::uint8_t toBcd(unsigned value)
{
    value %= 100;
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

std::uint32_t toFieldInteger(double value, double scale, unsigned bits, bool isSigned)
{
    // std::round rounds half away from zero, for negative values too.
    double scaled = std::round(value / scale);
    if (std::isnan(scaled)) {
        scaled = 0.0;
    }
    const double span = std::ldexp(1.0, static_cast<int>(bits));
    const double low = isSigned ? -span / 2 : 0.0;
    const double high = isSigned ? span / 2 - 1 : span - 1;
    scaled = std::fmin(std::fmax(scaled, low), high);
    const auto wide = static_cast<std::int64_t>(scaled);
    const std::uint64_t mask = bits >= 32 ? 0xFFFFFFFFULL : (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide) & mask);
}

int readSBin(Bytes frame, SBinFrame& out)
{
    out = {};
    constexpr std::size_t kHeader = 4;
    if (frame.size() < kHeader || frame[0] != kSBinStart) {
        return codec_status::NotThisCodec;
    }
    const std::uint32_t length = readBigEndian(frame.data() + 2, 2);
    if (length < 3) {
        return codec_status::NotThisCodec;
    }
    if (std::size_t{length} + 4 > frame.size()) {
        return codec_status::Truncated;
    }
    out.letter = frame[1];
    out.body = frame.subspan(kHeader, length - 3);
    const std::uint32_t sum = messages::byteSum16(frame.data() + 1, static_cast<std::uint16_t>(length)) & 0xFFFFU;
    out.checksumOk = readBigEndian(frame.data() + length + 1, 2) == sum;
    return codec_status::Ok;
}

bool readSVar(Bytes frame, SVarText& out)
{
    out = {};
    if (frame.empty() || frame[0] != kStx) {
        return false;
    }
    std::size_t begin = 1;
    while (begin < frame.size() && (frame[begin] == '\r' || frame[begin] == '\n')) {
        ++begin;
    }
    std::size_t end = begin;
    while (end < frame.size() && frame[end] != kEtx) {
        ++end;
    }
    out.all = std::string_view(reinterpret_cast<const char*>(frame.data()) + begin, end - begin);
    const std::size_t lineFeed = out.all.find('\n');
    if (lineFeed != std::string_view::npos) {
        out.body = out.all.substr(lineFeed + 1);
    }
    return true;
}

int readTextHeader(std::string_view text, char letter, messages::GnssTime& time)
{
    char bang = 0;
    char got = 0;
    unsigned week = 0;
    double seconds = 0.0;
    if (text::scan(text, "%c%c,%u,%lf", &bang, &got, &week, &seconds) != 4) {
        return codec_status::NotThisCodec;
    }
    if (bang != '!' || got != letter || week > 0xFFFF || !(seconds >= 0.0 && seconds < 604800.0)) {
        return codec_status::NotThisCodec;
    }
    time.week = static_cast<std::uint16_t>(week);
    time.seconds = seconds;
    return codec_status::Ok;
}

int satelliteIndex(unsigned wireNumber)
{
    if (wireNumber >= 1 && wireNumber <= 32) {
        return static_cast<int>(wireNumber) - 1;
    }
    if (wireNumber >= 120 && wireNumber <= 138) {
        return static_cast<int>(wireNumber) - 120 + 32;
    }
    if (wireNumber == 41) {
        return 51;
    }
    if (wireNumber == 51) {
        return 52;
    }
    return -1;
}

int satelliteWireNumber(int index)
{
    if (index >= 0 && index <= 31) {
        return index + 1;
    }
    if (index >= 32 && index <= 50) {
        return index - 32 + 120;
    }
    if (index == 51) {
        return 41;
    }
    if (index == 52) {
        return 51;
    }
    return -1;
}

} // namespace zeb::codecs
