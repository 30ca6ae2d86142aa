#include "messages/codecs/HealthCodec.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kFieldCount = HealthCodec::FirstConfiguration + HealthCodec::kSatellites;
constexpr std::uint16_t kSubframe4 = 192; // bit offset of subframe 4's words after the 8 words of subframe 5

constexpr std::array<WordField, kFieldCount> makeFields()
{
    std::array<WordField, kFieldCount> fields{};
    fields[HealthCodec::Subframe5PageId] = {0, 8, false, 1.0};
    fields[HealthCodec::Toa] = {8, 8, false, 4096.0};
    fields[HealthCodec::WnA] = {16, 8, false, 1.0};
    fields[HealthCodec::Subframe4PageId] = {kSubframe4, 8, false, 1.0};
    for (std::uint16_t sv = 0; sv < HealthCodec::kSatellites; ++sv) {
        // Satellites 1-24 in words 4-9 of subframe 5; 25-32 after two reserved bits in word 8 of subframe 4.
        const auto health = sv < 24 ? static_cast<std::uint16_t>(24 + 6 * sv)
                                    : static_cast<std::uint16_t>(kSubframe4 + 138 + 6 * (sv - 24));
        fields[HealthCodec::FirstHealth + sv] = {health, 6, false, 1.0};
        fields[HealthCodec::FirstConfiguration + sv]
            = {static_cast<std::uint16_t>(kSubframe4 + 8 + 4 * sv), 4, false, 1.0};
    }
    return fields;
}

constexpr auto kFields = makeFields();

} // namespace

HealthCodec::HealthCodec()
    : DataWordCodec({'S', messages::message_type::GnssHealth, 16, SatellitePrefix::None, kFields})
{
}

unsigned HealthCodec::health(unsigned satellite) const
{
    if (satellite < 1 || satellite > kSatellites) {
        return 0;
    }
    return static_cast<unsigned>(wireValue(FirstHealth + satellite - 1));
}

unsigned HealthCodec::configuration(unsigned satellite) const
{
    if (satellite < 1 || satellite > kSatellites) {
        return 0;
    }
    return static_cast<unsigned>(wireValue(FirstConfiguration + satellite - 1));
}

} // namespace zeb::codecs
