#include "app/framework/DocumentManager.h"
#include "heading/document/CIHHDCalibrationDialog.h"
#include "heading/document/CIHHDDocument.h"
#include "heading/document/CIHHDThresholdDialog.h"
#include "heading/document/CIHHDView.h"
#include "heading/document/CWICOHeadingWidget.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace zeb::heading {
namespace {

using testsupport::qtWaitFor;

// The sentences the window wrote on the stream, as the stream reports them.
class SentLog
{
public:
    static void onEvent(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        if (code != stream::StreamEventCode::Send)
            return;
        auto& self = *static_cast<SentLog*>(context);
        const std::lock_guard lock(self.m_mutex);
        self.m_sent.emplace_back(stream::eventArgument(argument).text());
    }

    bool contains(const std::string& sentence) const
    {
        const std::lock_guard lock(m_mutex);
        return std::find(m_sent.begin(), m_sent.end(), sentence) != m_sent.end();
    }
    std::string last() const
    {
        const std::lock_guard lock(m_mutex);
        return m_sent.empty() ? std::string() : m_sent.back();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_sent;
};

class HeadingWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        stream::socket::registerSocketTransports();
        codecs::registerMessageCodecs();
        registerHeadingDocumentType();
        addTemplate(CIHHDDocument::kKey, QStringLiteral("Heading"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    CIHHDDocument& openHeading(const std::vector<std::string>& workspaceLines = {})
    {
        return openDocument<CIHHDDocument>(CIHHDDocument::kKey, workspaceLines);
    }

    static std::string text(QWidget* control) { return static_cast<QLineEdit*>(control)->text().toStdString(); }

    std::unique_ptr<stream::IOSTStream> connection;
};

// Against the simulated receiver: the compass shows its heading; a click on the corner opens the panel and widens
// the window; a refused Send says which field is wrong; a base calibration switches the fix mode, converges (green
// quality values) and gives the receiver its own fix mode back at Stop.
TEST_F(HeadingWindowTest, ShowsTheReceiversHeadingAndRunsABaseCalibration)
{
    testsupport::PortPrintingProcess simulator(
        {ZEB500_SIM_EXECUTABLE, "--port", "0", "--heading", std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";
    connection = std::make_unique<stream::IOSTStream>(65);
    SentLog sent;
    connection->subscribeCallback(&SentLog::onEvent, &sent);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(simulator.port()), "r+b"),
              stream::StreamStatus::Ok);

    CIHHDDocument& document = openHeading();
    CIHHDView* view = document.view();
    ASSERT_NE(view, nullptr);
    const HeadingDisplay& compass = view->compass()->display();
    ASSERT_TRUE(qtWaitFor([&] { return compass.valid() && compass.hasSatellites(); }, "a heading from the receiver"));
    EXPECT_EQ(std::fmod(compass.displayed(), 2.0), 0.0) << "the simulator turns 2 degrees a second";

    const int narrow = document.frame()->width();
    QTest::mouseClick(view->compass(), Qt::LeftButton, {}, view->compass()->rect().bottomRight() - QPoint(4, 4));
    CIHHDCalibrationDialog* panel = view->panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_GT(document.frame()->width(), narrow);
    ASSERT_TRUE(qtWaitFor([&] { return text(panel->control(1041)) == "1.00"; }, "the receiver's settings"));

    static_cast<QLineEdit*>(panel->control(1043))->setText(QStringLiteral("91"));
    static_cast<QPushButton*>(panel->control(1039))->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("vertical offset"), std::string::npos);
    EXPECT_FALSE(sent.contains("$PKVR,HDGSET,1.000,0.0,91.0,30.0\r\n"));

    panel->tabs()->setCurrentIndex(1);
    EXPECT_EQ(document.state().mode, 2u);
    EXPECT_FALSE(panel->control(1042)->isVisible());
    static_cast<QPushButton*>(panel->control(1037))->click();
    ASSERT_TRUE(qtWaitFor([&] { return sent.contains("$PKVR,FIXMOD,85,1,0.5\r\n"); }, "the calibration fix mode"));
    const Thresholds& thresholds = document.state().thresholds;
    ASSERT_TRUE(qtWaitFor(
        [&] {
            return thresholds.converged[Thresholds::BaseLength] == Thresholds::kConverged
                && thresholds.converged[Thresholds::VerticalOffset] == Thresholds::kConverged;
        },
        "convergence", std::chrono::seconds(20)));
    EXPECT_TRUE(text(panel->control(1041)).starts_with("1.5")) << text(panel->control(1041));
    EXPECT_EQ(panel->control(1045)->palette().color(QPalette::Base), QColor(0, 255, 0));

    static_cast<QPushButton*>(panel->control(1038))->click();
    EXPECT_EQ(sent.last(), "$PKVR,FIXMOD,5,1,0.5\r\n");
    EXPECT_FALSE(panel->pollTimer().isActive());
    closeDocuments();
}

// The workspace reopens the panel in its mode with the thresholds of the workspace; thresholds edited in their
// dialog go to the settings and the workspace lines.
TEST_F(HeadingWindowTest, WorkspaceRestoresThePanelAndThresholds)
{
    platform::Settings::current().writeText("Settings", "baseLengthThreshold", "0.5");
    CIHHDDocument& document
        = openHeading({"$PKVR,RPC,IHHD,STREAM,200\r\n", "$PKVR,RPC,IHHD,THRESHOLD,0.02,0.03,0.04\r\n",
                       "$PKVR,RPC,IHHD,CALIBRATION,1,2\r\n"});
    CIHHDCalibrationDialog* panel = document.view()->panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->tabs()->currentIndex(), 1);
    EXPECT_FALSE(panel->control(1044)->isVisible());
    EXPECT_TRUE(panel->control(1043)->isVisible());
    EXPECT_EQ(document.state().thresholds.values, (std::array<double, 3>{0.02, 0.03, 0.04}));
    EXPECT_FALSE(panel->isWindow()) << "the panel is docked in the view";
    EXPECT_EQ(panel->geometry().right(), document.view()->rect().right());

    testsupport::DialogAnswers answers;
    answers.next<CIHHDThresholdDialog>([](CIHHDThresholdDialog& dialog) {
        dialog.edit(1)->setText(QStringLiteral("0.25"));
        return QDialog::Accepted;
    });
    static_cast<QPushButton*>(panel->control(1040))->click();
    EXPECT_EQ(platform::Settings::current().readText("Settings", "horizontalOffsetThreshold", ""), "0.250000");
    EXPECT_EQ(document.state().lines(),
              "$PKVR,RPC,IHHD,THRESHOLD,0.020000,0.250000,0.040000\r\n$PKVR,RPC,IHHD,CALIBRATION,1,2\r\n");

    document.view()->togglePanel();
    EXPECT_EQ(document.view()->panel(), nullptr);
    EXPECT_FALSE(document.state().calibrationOpen);
}

// The compass at a fixed size and heading, drawn as the golden image in the repository within a small tolerance;
// a window smaller than the card's margins draws without a card.
TEST_F(HeadingWindowTest, CompassLooksAsItsGoldenImage)
{
    CIHHDDocument& document = openHeading({"$PKVR,RPC,IHHD,STREAM,200\r\n"});
    CWICOHeadingWidget* compass = document.view()->compass();
    const std::string sentence = "$PKVR,HRP,120000.00,123.4,T,1.5,-0.4,0.12,9,F\r\n";
    stream::StreamEvent event;
    event.setData(reinterpret_cast<const std::uint8_t*>(sentence.c_str()), static_cast<std::uint32_t>(sentence.size()));
    event.kind = messages::MessageKind::Telecommand;
    compass->resize(300, 300);
    compass->onMessage(stream::StreamRegistry::messages().receive, 0, reinterpret_cast<platform::LParam>(&event));
    const QImage image = compass->grab().toImage().convertToFormat(QImage::Format_RGB32);

    const std::string golden = std::string(HEADING_GOLDEN_FOLDER) + "/compass-300.png";
    if (std::getenv("ZEB500_UPDATE_GOLDEN")) {
        ASSERT_TRUE(image.save(QString::fromStdString(golden)));
    }
    const QImage expected = QImage(QString::fromStdString(golden)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), expected.size()) << golden;
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 96)
                ++differing;
        }
    }
    EXPECT_LT(differing, image.width() * image.height() / 100) << "pixels unlike the golden image";

    compass->resize(12, 8);
    EXPECT_FALSE(compass->grab().isNull());
}

} // namespace
} // namespace zeb::heading
