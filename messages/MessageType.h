#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zeb::messages {

// Which receiver message a message is. Codes are stored in files and sent between programs:
// never renumber them.
using MessageType = std::uint32_t;

namespace message_type {
constexpr MessageType GnssAlmanach = 0;
constexpr MessageType GnssEphemeris = 1;
constexpr MessageType GnssHealth = 2;
constexpr MessageType GnssIonoTropo = 3;
constexpr MessageType GnssMeasureSatellite = 4;
constexpr MessageType GnssMeasureReceiver = 5;
constexpr MessageType GnssMessie = 6;
constexpr MessageType GnssMdt = 7;
constexpr MessageType Gnss2BData = 8;
constexpr MessageType Gnss2EData = 9;
constexpr MessageType Gnss2EDataBc = 10;
constexpr MessageType Gnss2Measure = 11;
constexpr MessageType Gnss2Messie = 12;
constexpr MessageType UhfCode = 13;
constexpr MessageType UhfPhase = 14;
constexpr MessageType UhfLrk = 15;
constexpr MessageType Rtcm = 16;
constexpr MessageType Waas = 17;
constexpr MessageType Nmea = 18;
constexpr MessageType Loader = 19;
constexpr MessageType Rpc = 20;
constexpr MessageType Other = 21;
constexpr MessageType UhfMessage = 22;
constexpr MessageType Any = 255;
} // namespace message_type

struct MessageTypeEntry
{
    std::string_view name;
    MessageType code;
};

// The table in the order lists show it to the user: "GNSS ALMANACH" (0) first, ... "UHF LRK"
// (15), "UHF MESSAGE" (22), "RTCM" (16), ... "OTHER" (21), "ANY" (255) last.
std::span<const MessageTypeEntry> messageTypeTable();
// The name of a code ("OTHER" for 21), or an empty view for a code not in the table.
std::string_view messageTypeName(MessageType code);

} // namespace zeb::messages
