#include "messages/codecs/AlmanacCodec.h"

#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

const WordField kFields[] = {
    {0, 8, false, 1.0}, // data ID and SV ID
    {8, 16, false, 0x1p-21}, // e
    {24, 8, false, 0x1p12}, // t_oa
    {32, 16, true, 0x1p-19}, // delta i
    {48, 16, true, 0x1p-38}, // Omega dot
    {64, 8, false, 1.0}, // SV health
    {72, 24, false, 0x1p-11}, // sqrt(A)
    {96, 24, true, 0x1p-23}, // Omega0
    {120, 24, true, 0x1p-23}, // omega
    {144, 24, true, 0x1p-23}, // M0
    {168, 8, false, 1.0}, // a_f0, eight most significant bits
    {176, 11, true, 0x1p-38}, // a_f1
    {187, 3, false, 1.0}, // a_f0, three least significant bits
};

} // namespace

AlmanacCodec::AlmanacCodec()
    : DataWordCodec({'A', messages::message_type::GnssAlmanach, 8, SatellitePrefix::SatelliteAndWeek, kFields})
{
}

double AlmanacCodec::af0() const
{
    const auto raw = static_cast<std::uint32_t>((wireValue(Af0High) << 3) | wireValue(Af0Low));
    return static_cast<double>(signExtend(raw, 11)) * 0x1p-20;
}

} // namespace zeb::codecs
