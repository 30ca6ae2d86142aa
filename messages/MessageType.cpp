#include "messages/MessageType.h"

#include <array>

namespace zeb::messages {

namespace {

using namespace message_type;

// Stored in the order the filter lists show it; the codes are not in order ("UHF MESSAGE" came
// late and sits with the other UHF types).
constexpr std::array<MessageTypeEntry, 24> kTable{{
    {"GNSS ALMANACH", GnssAlmanach},
    {"GNSS EPHEMERIS", GnssEphemeris},
    {"GNSS HEALTH", GnssHealth},
    {"GNSS IONO/TROPO", GnssIonoTropo},
    {"GNSS MEASURE SATELLITE", GnssMeasureSatellite},
    {"GNSS MEASURE RECEIVER", GnssMeasureReceiver},
    {"GNSS MESSIE", GnssMessie},
    {"GNSS MDT", GnssMdt},
    {"GNSS2 B-DATA", Gnss2BData},
    {"GNSS2 E-DATA", Gnss2EData},
    {"GNSS2 E-DATA BC", Gnss2EDataBc},
    {"GNSS2 MEASURE", Gnss2Measure},
    {"GNSS2 MESSIE", Gnss2Messie},
    {"UHF CODE", UhfCode},
    {"UHF PHASE", UhfPhase},
    {"UHF LRK", UhfLrk},
    {"UHF MESSAGE", UhfMessage},
    {"RTCM", Rtcm},
    {"WAAS", Waas},
    {"NMEA", Nmea},
    {"LOADER", Loader},
    {"RPC", Rpc},
    {"OTHER", Other},
    {"ANY", Any},
}};

} // namespace

std::span<const MessageTypeEntry> messageTypeTable()
{
    return kTable;
}

std::string_view messageTypeName(MessageType code)
{
    for (const auto& entry : kTable) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return {};
}

} // namespace zeb::messages
