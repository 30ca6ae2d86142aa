#include "messages/codecs/EphemerisCodec.h"

namespace zeb::codecs {

namespace {

// Bit offsets in the 24 words: subframe 1 from 0, subframe 2 from 192, subframe 3 from 384. Parameters that the
// broadcast message splits over two words (M0, e, sqrt(A), Omega0, i0, omega) are contiguous once parity is removed.
const WordField kFields[] = {
    {0, 10, false, 1.0}, // WN
    {10, 2, false, 1.0}, // codes on L2
    {12, 4, false, 1.0}, // URA index
    {16, 6, false, 1.0}, // SV health
    {22, 2, false, 1.0}, // IODC, two most significant bits
    {24, 1, false, 1.0}, // L2 P data flag
    {112, 8, true, 0x1p-31}, // T_GD
    {120, 8, false, 1.0}, // IODC, eight least significant bits
    {128, 16, false, 0x1p4}, // t_oc
    {144, 8, true, 0x1p-55}, // a_f2
    {152, 16, true, 0x1p-43}, // a_f1
    {168, 22, true, 0x1p-31}, // a_f0
    {192, 8, false, 1.0}, // IODE
    {200, 16, true, 0x1p-5}, // C_rs
    {216, 16, true, 0x1p-43}, // delta n
    {232, 32, true, 0x1p-31}, // M0
    {264, 16, true, 0x1p-29}, // C_uc
    {280, 32, false, 0x1p-33}, // e
    {312, 16, true, 0x1p-29}, // C_us
    {328, 32, false, 0x1p-19}, // sqrt(A)
    {360, 16, false, 0x1p4}, // t_oe
    {376, 1, false, 1.0}, // fit interval flag
    {377, 5, false, 1.0}, // AODO
    {384, 16, true, 0x1p-29}, // C_ic
    {400, 32, true, 0x1p-31}, // Omega0
    {432, 16, true, 0x1p-29}, // C_is
    {448, 32, true, 0x1p-31}, // i0
    {480, 16, true, 0x1p-5}, // C_rc
    {496, 32, true, 0x1p-31}, // omega
    {528, 24, true, 0x1p-43}, // Omega dot
    {552, 8, false, 1.0}, // IODE
    {560, 14, true, 0x1p-43}, // IDOT
};

} // namespace

EphemerisCodec::EphemerisCodec()
    : DataWordCodec({'E', messages::message_type::GnssEphemeris, 24, SatellitePrefix::Satellite, kFields})
{
}

unsigned EphemerisCodec::iodc() const
{
    return static_cast<unsigned>((wireValue(IodcHigh) << 8) | wireValue(IodcLow));
}

} // namespace zeb::codecs
