#pragma once

namespace zeb::codecs {

// Results of decoding and rendering. The numbers are shown to users and written by tools: never renumber them.
namespace codec_status {
constexpr int Ok = 0;
constexpr int NotThisCodec = 1; // wrong first byte or letter, or a body that does not fit the member's layout
constexpr int WrongLetter = 3; // UHF frame of another letter
constexpr int BadSatellite = 4; // a satellite number outside the mapping
constexpr int NoValidRecord = 6; // UHF frame without a usable record, or with a record area that does not fit
constexpr int LengthTooSmall = 8; // UHF length field below the member's minimum
constexpr int NoEtx = 12; // UHF frame whose last byte is not ETX
constexpr int BadAddress = 13; // UHF address not two BCD digits
constexpr int BadValue = 14; // UHF BCD value or time not made of decimal digits
constexpr int ChecksumMismatch = 15;
constexpr int Truncated = 21; // the frame claims more bytes than are available
constexpr int NotRendered = 54; // no text form, or no decoded message to render
} // namespace codec_status

} // namespace zeb::codecs
