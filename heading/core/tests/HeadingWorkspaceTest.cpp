#include "heading/core/HeadingWorkspace.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace zeb::heading {
namespace {

TEST(HeadingWorkspaceTest, LinesReadBackToTheSameValues)
{
    HeadingWorkspace saved;
    saved.thresholds.values = {0.02, 1.5, 0.25};
    saved.calibrationOpen = true;
    saved.mode = 2;
    EXPECT_EQ(saved.lines(),
              "$PKVR,RPC,IHHD,THRESHOLD,0.020000,1.500000,0.250000\r\n"
              "$PKVR,RPC,IHHD,CALIBRATION,1,2\r\n");
    HeadingWorkspace restored;
    const std::string lines = saved.lines();
    const std::size_t split = lines.find('\n') + 1;
    EXPECT_TRUE(restored.handleLine(lines.substr(0, split)));
    EXPECT_TRUE(restored.handleLine(lines.substr(split)));
    EXPECT_EQ(restored.thresholds.values, saved.thresholds.values);
    EXPECT_TRUE(restored.calibrationOpen);
    EXPECT_EQ(restored.mode, 2u);
    EXPECT_FALSE(restored.handleLine("$PKVR,RPC,IHHD,STREAM,65\r\n"));
}

// Out of range, NaN or garbage keeps what was there; a CALIBRATION line with one number sets only the
// panel's state.
TEST(HeadingWorkspaceTest, BadValuesKeepThePreviousOnes)
{
    HeadingWorkspace state;
    state.thresholds.values = {0.1, 0.2, 0.3};
    for (const char* line : {"$PKVR,RPC,IHHD,THRESHOLD,0.5,0.5\r\n", "$PKVR,RPC,IHHD,THRESHOLD,0.5,nan,0.5\r\n",
                             "$PKVR,RPC,IHHD,THRESHOLD,0.5,-1,0.5\r\n", "$PKVR,RPC,IHHD,THRESHOLD,\r\n",
                             "$PKVR,RPC,IHHD,CALIBRATION,7,3\r\n", "$PKVR,RPC,IHHD,CALIBRATION,x\r\n"})
        EXPECT_TRUE(state.handleLine(line)) << line;
    EXPECT_EQ(state.thresholds.values, (std::array<double, 3>{0.1, 0.2, 0.3}));
    EXPECT_FALSE(state.calibrationOpen);
    EXPECT_EQ(state.mode, 1u);
    state.handleLine("$PKVR,RPC,IHHD,CALIBRATION,1\r\n");
    EXPECT_TRUE(state.calibrationOpen);
    EXPECT_EQ(state.mode, 1u);
}

TEST(ThresholdsTest, SettingsRoundTripAndRefuseWhatIsNoThreshold)
{
    platform::MemorySettings settings;
    EXPECT_EQ(Thresholds::fromSettings(settings).values, (std::array<double, 3>{0.01, 0.01, 0.01}));
    settings.writeText("Settings", "horizontalOffsetThreshold", "nan");
    settings.writeText("Settings", "verticalOffsetThreshold", "0.5 m");
    EXPECT_EQ(Thresholds::fromSettings(settings).values, (std::array<double, 3>{0.01, 0.01, 0.01}));

    Thresholds edited;
    edited.values = {0.05, 2, 0.125};
    edited.writeSettings(settings);
    EXPECT_EQ(settings.readText("Settings", "baseLengthThreshold", ""), "0.050000");
    EXPECT_EQ(Thresholds::fromSettings(settings).values, edited.values);
}

} // namespace
} // namespace zeb::heading
