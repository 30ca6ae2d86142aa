#include "messages/codecs/IonoUtcCodec.h"

#include <cmath>

namespace zeb::codecs {

namespace {

// Subframe 4 page 18 as it appears in words 3-10: the body offsets of each field times 8.
const WordField kFields[] = {
    {0, 8, false, 1.0},     {8, 8, true, 0x1p-30},   {16, 8, true, 0x1p-27},  {24, 8, true, 0x1p-24},
    {32, 8, true, 0x1p-24}, {40, 8, true, 0x1p11},   {48, 8, true, 0x1p14},   {56, 8, true, 0x1p16},
    {64, 8, true, 0x1p16},  {72, 24, true, 0x1p-50}, {96, 32, true, 0x1p-30}, {128, 8, false, 0x1p12},
    {136, 8, false, 1.0},   {144, 8, true, 1.0},     {152, 8, false, 1.0},    {160, 8, false, 1.0},
    {168, 8, true, 1.0},    {176, 16, false, 1.0},
};

} // namespace

IonoUtcCodec::IonoUtcCodec()
    : DataWordCodec({'U', messages::message_type::GnssIonoTropo, 8, SatellitePrefix::None, kFields})
{
}

} // namespace zeb::codecs
