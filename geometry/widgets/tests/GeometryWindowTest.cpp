#include "app/framework/CIHCOChildFrame.h"
#include "geometry/widgets/CIHGEDocument.h"
#include "geometry/widgets/CIHGEView.h"
#include "geometry/widgets/CWICOSkyPlot.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"

#include <QImage>
#include <QPointer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace zeb::geometry {
namespace {

using testsupport::qtWaitFor;

constexpr double kSimulatorMask = 15.0;

class GeometryWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        stream::socket::registerSocketTransports();
        registerGeometryDocumentType();
        addTemplate(CIHGEDocument::kKey, QStringLiteral("Geometry"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    std::unique_ptr<stream::IOSTStream> connection;
};

// The window polls the simulated receiver on the application connection: its title counts the
// satellites of the log the receiver plays (nine GPS satellites, seven used, and an SBAS one that
// is not shown), all above the horizon, and the ring is the mask the receiver answers.
TEST_F(GeometryWindowTest, ShowsTheSimulatedReceiversSky)
{
    const std::string capture = std::string(ZEB500_SKY_LOG);
    testsupport::PortPrintingProcess simulator(
        {ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "200", "--mask", std::to_string(kSimulatorMask), capture});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";
    connection = std::make_unique<stream::IOSTStream>(65);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(simulator.port()), "rb"),
              stream::StreamStatus::Ok);

    auto& document = openDocument<CIHGEDocument>(CIHGEDocument::kKey);
    ASSERT_NE(document.view(), nullptr);
    document.frame()->resize(400, 360);
    CWICOSkyPlot& plot = *document.view()->skyPlot();
    const double expectedMask = (1.0 - kSimulatorMask / 90.0);
    ASSERT_TRUE(qtWaitFor(
        [&] {
            const SkyPicture& picture = plot.picture();
            return picture.glyphs.size() == 9 && std::fabs(picture.maskRadius - expectedMask * picture.radius) < 1e-6;
        },
        "nine satellites drawn inside the simulator's mask"));

    const SkyPicture& picture = plot.picture();
    EXPECT_EQ(picture.width, plot.width());
    EXPECT_EQ(picture.radius, (std::min(plot.width(), plot.height()) - 20) * 0.5);
    EXPECT_EQ(document.frame()->windowTitle().toStdString(), picture.title());
    EXPECT_EQ(picture.title(), "Geometry - 7/9 SV");
    for (const SkyGlyph& glyph : picture.glyphs)
        EXPECT_LT(std::hypot(glyph.px - picture.centreX, glyph.py - picture.centreY), picture.radius) << glyph.prn;
}

// Closing the window deletes the document before the frame and its plot: a drawing pass in
// between (an answer already on its way) must not retitle the deleted document.
TEST_F(GeometryWindowTest, ClosedWindowDrawsWithoutItsDocument)
{
    auto& document = openDocument<CIHGEDocument>(CIHGEDocument::kKey);
    ASSERT_NE(document.view(), nullptr);
    const QPointer<CWICOSkyPlot> plot = document.view()->skyPlot();
    const QPointer<CIHGEDocument> watched = &document;
    document.frame()->close();
    QCoreApplication::sendPostedEvents(watched.data(), QEvent::DeferredDelete);
    ASSERT_TRUE(watched.isNull()) << "the document outlived its closed window";
    ASSERT_FALSE(plot.isNull()) << "the plot went with the document; nothing left to check";
    plot->receive("$GPGSA,A,3,05");
    plot->receive("$GPGSV,1,1,01,05,60,046,49");
    plot->receive("$GPGSV,1,1,01,05,61,047,49");
    EXPECT_EQ(plot->picture().title(), "Geometry - 1/1 SV");
}

// The plot as painted, compared with the image kept in the repository; ZEB500_UPDATE_GOLDEN=1 writes it anew.
TEST_F(GeometryWindowTest, PaintsLikeTheGoldenImage)
{
    CWICOSkyPlot plot;
    plot.resize(300, 300);
    plot.show();
    QCoreApplication::processEvents();
    plot.receive("$PKVR,SVDSEL,20,0");
    plot.receive("$GPGSA,A,3,05,12,25");
    const char* groups[][2] = {
        {"$GPGSV,2,1,06,05,60,046,49,12,30,200,40,20,05,300,35,25,80,120,45", "$GPGSV,2,2,06,31,20,010,,02,45,135,30"},
        {"$GPGSV,2,1,06,05,62,050,49,12,28,196,40,20,07,300,35,25,80,126,45", "$GPGSV,2,2,06,31,22,004,,02,44,132,30"},
    };
    for (const auto& group : groups) {
        plot.receive(group[0]);
        plot.receive(group[1]);
    }
    ASSERT_EQ(plot.picture().title(), "Geometry - 3/6 SV");
    const QImage painted = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString golden = QStringLiteral(ZEB500_GOLDEN "/skyplot-300.png");
    if (std::getenv("ZEB500_UPDATE_GOLDEN")) {
        ASSERT_TRUE(painted.save(golden));
        return;
    }
    const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), painted.size()) << "no golden image at " << golden.toStdString();
    int differing = 0;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QRgb a = painted.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            differing
                += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 48;
        }
    }
    // Font rendering may differ by a few pixels; a moved circle or glyph changes hundreds.
    EXPECT_LE(differing, painted.width() * painted.height() / 200) << differing << " pixels differ";

    // Smaller than its margins, the plot still paints: the background and the glyphs on the centre.
    plot.resize(12, 8);
    QCoreApplication::processEvents();
    plot.receive(groups[0][0]);
    plot.receive(groups[0][1]);
    EXPECT_EQ(plot.grab().size(), QSize(12, 8));
    EXPECT_EQ(plot.picture().radius, 0.0);
}

} // namespace
} // namespace zeb::geometry
