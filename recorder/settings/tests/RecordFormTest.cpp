#include "recorder/settings/RecordForm.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace zeb::recorder {
namespace {

using messages::MessageKind;
namespace type = messages::message_type;

TEST(RecordForm, SelectionPicksTheMessageAndFormHowItIsWritten)
{
    const auto S = MessageKind::SBin, V = MessageKind::SVar, U = MessageKind::UHF;
    using F = RecordForm;
    // selection, form, kind, type, expected
    const std::vector<std::tuple<std::uint32_t, std::uint32_t, MessageKind, messages::MessageType, F>> cases = {
        {0, 0, MessageKind::RTCM, type::Rtcm, F::AsReceived},
        {0, 3, V, type::GnssAlmanach, F::AsReceived},
        {1, 1, S, type::GnssMeasureSatellite, F::AsReceived},
        {1, 1, S, type::GnssMeasureReceiver, F::None},
        {1, 1, V, type::GnssAlmanach, F::None},
        {2, 1, S, type::GnssAlmanach, F::None},
        {3, 3, S, type::GnssAlmanach, F::Text},
        {3, 0, S, type::GnssAlmanach, F::None},
        {4, 2, S, type::GnssEphemeris, F::AsReceived},
        {7, 2, V, type::GnssEphemeris, F::Binary},
        {7, 3, V, type::GnssMeasureSatellite, F::None},
        {7, 3, U, type::UhfPhase, F::Text},
        {7, 1, U, type::UhfMessage, F::None},
        {8, 1, U, type::UhfLrk, F::AsReceived},
        {10, 1, U, type::UhfCode, F::AsReceived},
        {11, 1, S, type::GnssAlmanach, F::None},
        {12, 3, MessageKind::Telecommand, type::Nmea, F::AsReceived},
        {12, 1, MessageKind::RTCM, type::Rtcm, F::None},
    };
    for (const auto& [selection, form, kind, t, expected] : cases) {
        RecorderFilter filter{true, 0, selection, form, 0};
        EXPECT_EQ(recordForm(filter, kind, t), expected) << selection << "/" << form << " type " << t;
        filter.enabled = false;
        EXPECT_EQ(recordForm(filter, kind, t), F::None) << selection << "/" << form;
    }
}

} // namespace
} // namespace zeb::recorder
