#include "tools/sim/HeadingSimulator.h"

#include "text/Scan.h"

#include <gtest/gtest.h>

namespace zeb::tools::sim {
namespace {

// A calibration converges: every quality value falls below 0.01 within a dozen polls, and Stop
// makes the estimates the receiver's settings.
TEST(HeadingSimulatorTest, CalibrationConvergesWithinADozenPolls)
{
    HeadingSimulator receiver;
    receiver.answer("$PKVR,HDGINI,0\r\n");
    std::array<double, 3> quality{1, 1, 1};
    int polls = 0;
    while (polls < 12 && (quality[0] >= 0.01 || quality[1] >= 0.01 || quality[2] >= 0.01)) {
        const std::string reply = receiver.answer("$PKVR,HDGINI\r\n");
        double estimate[3];
        unsigned poll = 0;
        ASSERT_EQ(text::scan(reply, "$PKVR,HDGINI,%u,%lf,%lf,%lf,%lf,%lf,%lf", &poll, &estimate[0], &estimate[1],
                             &estimate[2], &quality[0], &quality[1], &quality[2]),
                  7)
            << reply;
        ++polls;
    }
    EXPECT_LT(polls, 12);
    EXPECT_EQ(receiver.answer("$PKVR,HDGINI,-1\r\n").substr(0, 16), "$PKVR,ACK,HDGINI");
    EXPECT_EQ(receiver.answer("$PKVR,HDGSET\r\n").substr(0, 31), "$PKVR,HDGSET,1.532,12.5,-1.5,30");
}

TEST(HeadingSimulatorTest, FixModeAndSettingsAreKept)
{
    HeadingSimulator receiver;
    EXPECT_EQ(receiver.answer("$PKVR,FIXMOD\r\n").substr(0, 20), "$PKVR,FIXMOD,5,1,0.5");
    receiver.answer("$PKVR,FIXMOD,85,1,0.5\r\n");
    EXPECT_EQ(receiver.answer("$PKVR,FIXMOD*00\r\n").substr(0, 21), "$PKVR,FIXMOD,85,1,0.5");
    EXPECT_EQ(receiver.answer("$PKVR,HDGSET,2.5,10.0,-3.0,20.0\r\n").substr(0, 29), "$PKVR,HDGSET,2.500,10.0,-3.0,");
    EXPECT_EQ(receiver.answer("$PKVR,HDGSET,x\r\n").substr(0, 29), "$PKVR,HDGSET,2.500,10.0,-3.0,");
    EXPECT_EQ(receiver.answer("$PKVR,OTHER\r\n"), "");
}

// One epoch a second, a turning heading, and now and then no heading.
TEST(HeadingSimulatorTest, SendsOneEpochASecond)
{
    HeadingSimulator receiver;
    const auto start = HeadingSimulator::Clock::now();
    EXPECT_TRUE(receiver.due(start).starts_with("$GPHDT,0.0,T*"));
    EXPECT_EQ(receiver.due(start + std::chrono::milliseconds(900)), "");
    std::string epochs;
    for (int second = 1; second < 10; ++second)
        epochs += receiver.due(start + std::chrono::seconds(second));
    EXPECT_NE(epochs.find("$GPHDT,18.0,T*"), std::string::npos);
    EXPECT_NE(epochs.find(",N*"), std::string::npos);
}

} // namespace
} // namespace zeb::tools::sim
