#include "heading/core/CalibrationSession.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zeb::heading {
namespace {

using Field = CalibrationField;

class RecordingHost : public CalibrationHost
{
public:
    void send(std::string_view sentence) override { sent.emplace_back(sentence); }
    void setPolling(bool on) override { polling = on; }
    void fieldChanged(CalibrationField field, const std::string& text) override { changes[field] = text; }

    std::vector<std::string> take()
    {
        std::vector<std::string> result;
        result.swap(sent);
        return result;
    }

    std::vector<std::string> sent;
    std::map<CalibrationField, std::string> changes;
    bool polling = false;
};

class CalibrationSessionTest : public ::testing::Test
{
protected:
    CalibrationSession& make(std::uint32_t mode)
    {
        session = std::make_unique<CalibrationSession>(host, thresholds, mode);
        return *session;
    }

    RecordingHost host;
    Thresholds thresholds;
    std::unique_ptr<CalibrationSession> session;
};

TEST_F(CalibrationSessionTest, OpensWithPlaceholdersUnknownConvergenceAndASettingsQuery)
{
    thresholds.converged = {1, 0, 1};
    CalibrationSession& panel = make(1);
    panel.open();
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGSET\r\n"}));
    EXPECT_EQ(thresholds.converged, (std::array<int, 3>{-1, -1, -1}));
    EXPECT_EQ(panel.field(Field::BaseLength), "***.**");
    EXPECT_EQ(panel.field(Field::FourthSetting), "**");
    EXPECT_EQ(panel.field(Field::BaseLengthQuality), "***.*");
    EXPECT_EQ(panel.field(Field::FirstValue), "***.*");
}

// Mode 1: settings query and start, polls once a second, stop.
TEST_F(CalibrationSessionTest, OffsetCalibrationStartsPollsAndStops)
{
    CalibrationSession& panel = make(1);
    panel.start();
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGSET\r\n", "$PKVR,HDGINI,0\r\n"}));
    EXPECT_TRUE(host.polling);
    panel.start(); // running already: nothing
    panel.poll();
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGINI\r\n"}));
    panel.receive("$PKVR,FIXMOD,5,1*00\r\n"); // not in mode 1
    EXPECT_TRUE(host.take().empty());
    panel.stop();
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGINI,-1\r\n"}));
    EXPECT_FALSE(host.polling);
    panel.poll();
    panel.stop();
    EXPECT_TRUE(host.take().empty());
}

// Mode 2 switches the receiver to the calibration fix mode (number modulo 40, plus 80) with its own
// rest, without the checksum, and restores its own mode at Stop; a second answer is ignored.
TEST_F(CalibrationSessionTest, BaseCalibrationSavesAndRestoresTheFixMode)
{
    for (const unsigned number : {5u, 47u}) {
        SCOPED_TRACE(number);
        CalibrationSession& panel = make(2);
        panel.start();
        EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,FIXMOD\r\n"}));
        EXPECT_FALSE(host.polling);
        panel.receive("$PKVR,FIXMOD," + std::to_string(number) + ",1,2.5*4F\r\n");
        const std::string calibrationMode = std::to_string(number % 40 + 80);
        EXPECT_EQ(host.take(),
                  (std::vector<std::string>{"$PKVR,FIXMOD," + calibrationMode + ",1,2.5\r\n", "$PKVR,HDGSET\r\n",
                                            "$PKVR,HDGINI,0\r\n"}));
        EXPECT_TRUE(host.polling);
        EXPECT_TRUE(panel.fixModeSaved());
        panel.receive("$PKVR,FIXMOD,85,1,2.5\r\n");
        EXPECT_TRUE(host.take().empty());
        // A tab change stops the run like Stop.
        EXPECT_TRUE(panel.setMode(1));
        EXPECT_EQ(
            host.take(),
            (std::vector<std::string>{"$PKVR,HDGINI,-1\r\n", "$PKVR,FIXMOD," + std::to_string(number) + ",1,2.5\r\n"}));
        EXPECT_FALSE(panel.fixModeSaved());
        EXPECT_EQ(panel.mode(), 1u);
    }
}

TEST_F(CalibrationSessionTest, BaseCalibrationWithoutAFixModeAnswerStopsOnlyTheCalibration)
{
    CalibrationSession& panel = make(2);
    panel.start();
    host.take();
    panel.stop();
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGINI,-1\r\n"}));
    EXPECT_FALSE(panel.setMode(3));
    EXPECT_FALSE(panel.setMode(0));
    EXPECT_EQ(panel.mode(), 2u);
}

// Estimates and quality values, placeholders for absent or non-finite ones, and convergence against
// the thresholds (a value equal to its threshold has converged).
TEST_F(CalibrationSessionTest, CalibrationStateShowsValuesAndJudgesQuality)
{
    thresholds.values = {0.01, 0.5, 0.2};
    CalibrationSession& panel = make(1);
    panel.receive("$PKVR,HDGINI,3,1.257,10.04,,0.01,,0.3\r\n");
    EXPECT_EQ(panel.field(Field::FirstValue), "3");
    EXPECT_EQ(panel.field(Field::BaseLength), "1.26");
    EXPECT_EQ(panel.field(Field::HorizontalOffset), "10.0");
    EXPECT_EQ(panel.field(Field::VerticalOffset), "***.*");
    EXPECT_EQ(panel.field(Field::BaseLengthQuality), "0.01");
    EXPECT_EQ(panel.field(Field::HorizontalOffsetQuality), "***.*");
    EXPECT_EQ(panel.field(Field::VerticalOffsetQuality), "0.3");
    EXPECT_EQ(thresholds.converged, (std::array<int, 3>{1, -1, 0}));
    EXPECT_EQ(host.changes.at(Field::FirstValue), "3");

    panel.receive("$PKVR,HDGSET,1.5,,-2.04,30\r\n");
    EXPECT_EQ(panel.field(Field::BaseLength), "1.50");
    EXPECT_EQ(panel.field(Field::HorizontalOffset), "***.*");
    EXPECT_EQ(panel.field(Field::VerticalOffset), "-2.0");
    EXPECT_EQ(panel.field(Field::FourthSetting), "30");

    // Replies that do not scan, other identifiers and other families change nothing.
    for (const char* ignored : {"$PKVR,HDGINI,x,1,2\r\n", "$PKVR,HDGINI,1,nan,2\r\n", "$PKVR,HDGINI\r\n",
                                "$PKVR,HDGXXX,1,2\r\n", "$GPHDGINI,1,2,3\r\n", "garbage"})
        panel.receive(ignored);
    EXPECT_EQ(panel.field(Field::BaseLength), "1.50");
    EXPECT_TRUE(host.sent.empty());
}

struct SendCase
{
    std::array<std::string, 4> texts;
    unsigned refusal;
};

TEST_F(CalibrationSessionTest, SendChecksEachSettingInOrder)
{
    const std::vector<SendCase> cases{
        {{"12.5", "360", "-90", "60"}, 0},
        {{"12.5 ", "0", "0", "0"}, CalibrationSession::kBaseLengthRefused},
        {{"1000", "0", "0", "0"}, CalibrationSession::kBaseLengthRefused},
        {{"nan", "0", "0", "0"}, CalibrationSession::kBaseLengthRefused},
        {{"", "0", "0", "0"}, CalibrationSession::kBaseLengthRefused},
        {{"1", "360.01", "91", "0"}, CalibrationSession::kHorizontalOffsetRefused},
        {{"1", "0", "91", "0"}, CalibrationSession::kVerticalOffsetRefused},
        {{"1", "0", "0", "inf"}, CalibrationSession::kFourthSettingRefused},
        {{"1", "0", "0", "6x"}, CalibrationSession::kFourthSettingRefused},
    };
    CalibrationSession& panel = make(1);
    for (const SendCase& c : cases) {
        SCOPED_TRACE(c.texts[0] + "|" + c.texts[1] + "|" + c.texts[2] + "|" + c.texts[3]);
        EXPECT_EQ(panel.sendSettings(c.texts), c.refusal);
        EXPECT_EQ(host.take().size(), c.refusal == 0 ? 1u : 0u);
    }
    panel.sendSettings({"1.2345", "10.06", "-2", "30"});
    EXPECT_EQ(host.take(), (std::vector<std::string>{"$PKVR,HDGSET,1.234,10.1,-2.0,30.0\r\n"}));
}

TEST(CalibrationSessionRows, BaseCalibrationHidesTheHorizontalOffsetAndFourthSetting)
{
    for (const Field field : {Field::HorizontalOffset, Field::HorizontalOffsetQuality, Field::FourthSetting}) {
        EXPECT_TRUE(CalibrationSession::rowShown(field, 1));
        EXPECT_FALSE(CalibrationSession::rowShown(field, 2));
    }
    for (const Field field : {Field::BaseLength, Field::VerticalOffsetQuality, Field::FirstValue})
        EXPECT_TRUE(CalibrationSession::rowShown(field, 2));
}

} // namespace
} // namespace zeb::heading
