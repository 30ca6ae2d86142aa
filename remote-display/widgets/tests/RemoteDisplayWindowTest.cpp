#include "platform/Settings.h"
#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayListWriter.h"
#include "remote-display/core/JsonPainter.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/PanelSettings.h"
#include "remote-display/widgets/CIHAQDocument.h"
#include "remote-display/widgets/CIHAQView.h"
#include "remote-display/widgets/CIHIMDocument.h"
#include "remote-display/widgets/CIHIMPropertiesDialog.h"
#include "remote-display/widgets/CIHIMView.h"
#include "remote-display/widgets/CWICORemoteDisplay.h"
#include "remote-display/widgets/RemoteDisplayTypes.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zeb::remote_display {
namespace {

using testsupport::qtWaitFor;

void editProperties(CIHIMPropertiesDialog& dialog)
{
    dialog.setColor(0x112233);
    dialog.findChildren<QCheckBox*>().front()->setChecked(false);
}

std::string clientAddress(unsigned port)
{
    return "/dev/client/localhost/" + std::to_string(port);
}

// What the display shows now, as the drawing operations of its last complete list.
std::string screen(const CIHIMView& view)
{
    JsonPainter painter;
    DisplayInterpreter::interpret(view.display()->list().shown(), painter);
    return painter.lines();
}

bool shows(const CIHIMView& view, const std::string& text)
{
    return screen(view).find("\"text\": \"" + text + "\"") != std::string::npos;
}

QPoint centre(std::uint32_t code)
{
    for (const HotSpot& spot : PanelKeys::hotSpots()) {
        if (spot.code == code)
            return {(spot.left + spot.right) / 2, (spot.top + spot.bottom) / 2};
    }
    return {};
}

class RemoteDisplayWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        stream::socket::registerSocketTransports();
        stream::rpc::RemoteRequests::install({});
        registerRemoteDisplayDocumentTypes();
        addTemplate(CIHIMDocument::kKey, QStringLiteral("Zerath remote view"));
        addTemplate(CIHAQDocument::kKey, QStringLiteral("Varnel remote view"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    std::unique_ptr<testsupport::PortPrintingProcess> startSimulator()
    {
        auto simulator = std::make_unique<testsupport::PortPrintingProcess>(std::vector<std::string>{
            ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "5", std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"});
        EXPECT_NE(simulator->port(), 0u) << "the simulated receiver did not start";
        return simulator;
    }

    void connect(unsigned port)
    {
        connection = std::make_unique<stream::IOSTStream>(65);
        ASSERT_EQ(connection->open(clientAddress(port), "r+b"), stream::StreamStatus::Ok);
    }

    CIHIMView& openPanel()
    {
        auto& document = openDocument<CIHIMDocument>(CIHIMDocument::kKey);
        EXPECT_NE(document.view(), nullptr);
        document.view()->setBeeper([this](int frequency, int) { beeps.push_back(frequency); });
        return *document.view();
    }

    testsupport::DialogAnswers answers;
    std::unique_ptr<stream::IOSTStream> connection;
    std::vector<int> beeps;
};

// The panel shows the simulator's screen; a painted key, a keyboard key and a click in the display change it as
// the simulator's model says; after the simulator goes and the view connects to another, the display updates again.
TEST_F(RemoteDisplayWindowTest, PanelMirrorsTheSimulatorAndRecoversAfterAReconnect)
{
    auto simulator = startSimulator();
    connect(simulator->port());
    CIHIMView& view = openPanel();
    ASSERT_TRUE(qtWaitFor([&] { return shows(view, "> Position"); }, "the first screen")) << screen(view);

    QTest::mousePress(&view, Qt::LeftButton, {}, centre(key_code::Down));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre(key_code::Down));
    ASSERT_TRUE(qtWaitFor([&] { return shows(view, "> Satellites"); }, "the cursor moved by the painted key"));
    EXPECT_EQ(beeps, (std::vector<int>{400, 380}));

    QTest::keyClick(view.display(), Qt::Key_7);
    ASSERT_TRUE(qtWaitFor([&] { return shows(view, "Value: 00007"); }, "the typed digit"));

    QTest::mouseClick(view.display(), Qt::LeftButton, {}, QPoint(100, 50));
    ASSERT_TRUE(qtWaitFor(
        [&] { return screen(view).find("\"x1\": 96, \"y1\": 46, \"x2\": 104, \"y2\": 54") != std::string::npos; },
        "the cross where the display was clicked"));

    simulator->stop();
    ASSERT_TRUE(qtWaitFor([&] { return view.display()->isHidden(); }, "the display hidden once the receiver went"));
    auto second = startSimulator();
    view.setSheet([&](const stream::StreamAddress& address, std::string_view) {
        stream::StreamAddress chosen = address;
        chosen.type = stream::stream_type::Client;
        chosen.client.host = "localhost";
        chosen.client.port = second->port();
        return std::optional(chosen);
    });
    view.connectAction()->trigger();
    ASSERT_TRUE(qtWaitFor([&] { return shows(view, "> Position") && !view.display()->isHidden(); },
                          "the new receiver's screen after reconnecting"))
        << screen(view);
}

// A held key stops repeating when its release is lost: focus gone, the window hidden, a popup grabbing the mouse.
// The window has the panel's shape.
TEST_F(RemoteDisplayWindowTest, HeldKeyStopsWhenItsReleaseIsLost)
{
    CIHIMView& view = openPanel();
    QWidget* frame = view.parentWidget();
    while (frame && !qobject_cast<QMdiSubWindow*>(frame))
        frame = frame->parentWidget();
    ASSERT_NE(frame, nullptr);
    const QPoint origin = view.mapTo(frame, QPoint(0, 0));
    EXPECT_FALSE(frame->mask().contains(origin)) << "the corner is cut off";
    EXPECT_TRUE(frame->mask().contains(origin + centre(key_code::Menu)));
    for (const QEvent::Type lost : {QEvent::FocusOut, QEvent::Hide, QEvent::UngrabMouse}) {
        QTest::mousePress(&view, Qt::LeftButton, {}, centre(0xFFFF0005u));
        ASSERT_TRUE(view.repeating());
        QEvent event(lost);
        QCoreApplication::sendEvent(&view, &event);
        EXPECT_FALSE(view.repeating()) << lost;
    }
}

// Properties: OK keeps the edited settings in the settings file and paints the display in the new colour; a key
// sound switched off stays silent.
TEST_F(RemoteDisplayWindowTest, PropertiesChangeSoundsAndColour)
{
    CIHIMView& view = openPanel();
    answers.next<CIHIMPropertiesDialog>([](CIHIMPropertiesDialog& dialog) {
        editProperties(dialog);
        return QDialog::Accepted;
    });
    view.propertiesAction()->trigger();
    const PanelSettings stored = PanelSettings::read(platform::Settings::current());
    EXPECT_EQ(stored.color, 0x112233u);
    EXPECT_FALSE(stored.pressed.on);
    QImage image(view.display()->size(), QImage::Format_RGB32);
    view.display()->render(&image);
    // k = 0 blends the base colour to white; the border stays red.
    EXPECT_EQ(image.pixelColor(160, 120), QColor(Qt::white));
    QTest::mousePress(&view, Qt::LeftButton, {}, centre(key_code::Contrast));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre(key_code::Contrast));
    view.display()->render(&image);
    // One contrast step, k = 0.1: each channel v becomes v + floor((255 - v) * 0.9).
    EXPECT_EQ(image.pixelColor(160, 120), QColor(0x33 + 183, 0x22 + 198, 0x11 + 214));
    EXPECT_EQ(beeps, (std::vector<int>{380})) << "only the release beeps";
}

// The small view's spin control steps the simulator's number, which the panel shows; its workspace line names
// its stream.
TEST_F(RemoteDisplayWindowTest, TextViewStepsTheReceiversNumber)
{
    auto simulator = startSimulator();
    connect(simulator->port());
    CIHIMView& panel = openPanel();
    ASSERT_TRUE(qtWaitFor([&] { return shows(panel, "Value: 00000"); }, "the first screen"));
    auto& document = openDocument<CIHAQDocument>(CIHAQDocument::kKey, {"$PKVR,RPC,IHAQ,STREAM,65\r\n"});
    ASSERT_NE(document.view(), nullptr);
    document.view()->spin()->stepBy(1);
    document.view()->spin()->stepBy(1);
    document.view()->spin()->stepBy(-1);
    ASSERT_TRUE(qtWaitFor([&] { return shows(panel, "Value: 00001"); }, "two steps up and one down")) << screen(panel);
}

// The display area at a fixed list, pixel for pixel.
TEST(RemoteDisplayImage, MatchesTheGoldenImage)
{
    DisplayListWriter list(4000);
    list.font("32x16").cursor(2, 3).text("OK").pen({0, 1, 65280}).line(0, 0, 319, 239);
    list.font("16x8").text(10, 200, "16x8 0123").pen({1, 2, 0xFF0000}).line(10, 230, 300, 230);
    const std::string& ops = list.operations();
    QImage image(320, 240, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        CWICORemoteDisplay::paintDisplay(painter, {reinterpret_cast<const std::uint8_t*>(ops.data()), ops.size()},
                                         0xBAC4DD);
    }
    const QString golden = QStringLiteral(ZEB500_GOLDEN "/display.png");
    if (std::getenv("ZEB500_UPDATE_GOLDEN"))
        image.save(golden);
    const QImage expected(golden);
    ASSERT_FALSE(expected.isNull()) << "no golden image; run once with ZEB500_UPDATE_GOLDEN=1";
    EXPECT_EQ(image, expected.convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace zeb::remote_display
