#include "messages/Classifier.h"
#include "messages/GnssTime.h"
#include "messages/MessageType.h"
#include "messages/tests/FramerTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::messages::test {
namespace {

using namespace std::string_literals;
namespace T = message_type;

TEST(Classifier, ContentIsJudgedByTheFirstTestThatHolds)
{
    const std::vector<std::tuple<std::string, bool, MessageKind>> cases{
        {"$\r\n"s, false, MessageKind::Telecommand},
        {"$A\n"s, false, MessageKind::Residue},
        {"\xFE\x41\x00\x03\x01\x02\xFF"s, false, MessageKind::SBin},
        {"\xFE\x41\x00\x02\x01\xFF"s, false, MessageKind::Residue},
        {"\x02\r\n\x03"s, false, MessageKind::SVar},
        {"\x02\x43\x00\x03"s, false, MessageKind::UHF},
        {"\x02\rX\x03"s, false, MessageKind::Residue},
        {"\x02X\n\x03"s, false, MessageKind::Residue},
        {"\x02\r\n"s, true, MessageKind::RTCM},
        {"$\r\n"s, true, MessageKind::Telecommand},
        {""s, false, MessageKind::Residue},
    };
    for (const auto& [bytes, hasRtcm, kind] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(messageKindName(classifyContent(bytesOf(bytes), hasRtcm)), messageKindName(kind));
    }
}

TEST(GnssTime, ResolvesToTheTimeWithinHalfAPeriodCarryingAndBorrowingWeeks)
{
    struct Case
    {
        GnssTime now;
        double timeOfPeriod;
        GnssTime expected;
    };
    const std::vector<Case> cases{
        {{100, 7210.0}, 20.0, {100, 7220.0}},  {{100, 7210.0}, 3590.0, {100, 7190.0}}, // just before the hour
        {{100, 10790.0}, 5.0, {100, 10805.0}}, // just after the next hour
        {{100, 604790.0}, 10.0, {101, 10.0}}, // carries into the next week
        {{100, 5.0}, 3595.0, {99, 604795.0}}, // borrows from the week
        {{0, 5.0}, 3595.0, {65535, 604795.0}}, // the week number wraps
    };
    for (const auto& c : cases) {
        const GnssTime t = GnssTime::resolve(c.timeOfPeriod, 3600.0, c.now);
        EXPECT_EQ(t.week, c.expected.week);
        EXPECT_DOUBLE_EQ(t.seconds, c.expected.seconds);
    }
    const GnssTime absurd = GnssTime::resolve(1e300, 1e-300, GnssTime{7, 8.0});
    EXPECT_EQ(absurd.week, 7) << "absurd input leaves the time alone instead of hanging";
}

} // namespace
} // namespace zeb::messages::test
