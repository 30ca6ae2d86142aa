#pragma once

#include "messages/GnssTime.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zeb::codecs {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kSBinStart = 0xFE;
constexpr std::uint8_t kSBinEnd = 0xFF;

using Bytes = std::span<const std::uint8_t>;

// Unsigned big-endian number of `count` (1 to 4) bytes at `at`; the caller has checked the bounds.
std::uint32_t readBigEndian(const std::uint8_t* at, std::size_t count);
// The low `bits` of `raw` read as a two's complement number.
std::int32_t signExtend(std::uint32_t raw, unsigned bits);
// `bits` (1 to 32) bits from a big-endian bit stream, starting `offset` bits from its beginning.
std::uint32_t readBits(Bytes stream, std::size_t offset, unsigned bits);
void writeBits(std::span<std::uint8_t> stream, std::size_t offset, unsigned bits, std::uint32_t value);
// Two BCD digits; -1 when a nibble is not a decimal digit.
int bcdByte(std::uint8_t byte);
std::uint8_t toBcd(unsigned value);
// x / scale rounded half away from zero and clamped to what a field of `bits` bits holds, signed or not.
std::uint32_t toFieldInteger(double value, double scale, unsigned bits, bool isSigned);

// A binary message after unescaping: 0xFE, letter, L (big-endian), body of L - 3 bytes, ByteSum16 of the L bytes
// from the letter through the body, 0xFF.
struct SBinFrame
{
    std::uint8_t letter = 0;
    Bytes body;
    bool checksumOk = false;
};

// Reads the common layout. Returns NotThisCodec for a frame that does not begin with 0xFE or is too short for the
// header, Truncated when L claims more bytes than `frame` holds; 0 otherwise. The checksum is checked but a mismatch
// only clears checksumOk: receivers in the field send a few message types with a stale sum.
int readSBin(Bytes frame, SBinFrame& out);

// The text after STX CR LF of an SVar frame, up to (not including) the ETX or the end of the frame, and the offset of
// the line after the header line. Returns false when the frame does not begin with STX.
struct SVarText
{
    std::string_view all; // from the '!' on
    std::string_view body; // after the first line feed; empty when there is none
};
bool readSVar(Bytes frame, SVarText& out);

// Reads "%c%c,%u,%lf" (the '!', the letter, the week, the seconds) from `text`. Returns NotThisCodec when the text
// does not begin with '!' and `letter`, or the numbers are missing or out of range.
int readTextHeader(std::string_view text, char letter, messages::GnssTime& time);

// The satellite index of a wire number (1-32 -> 0-31, 120-138 -> 32-50, 41 -> 51, 51 -> 52), or -1.
int satelliteIndex(unsigned wireNumber);
// The wire number of an index, or -1.
int satelliteWireNumber(int index);

} // namespace zeb::codecs
