#include "app/framework/CIHCOChildFrame.h"
#include "geometry/core/SkyTable.h"
#include "geometry/widgets/CIHGEDocument.h"
#include "geometry/widgets/CIHGEView.h"
#include "geometry/widgets/CWICOSkyPlot.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace zeb::geometry {
namespace {

using testsupport::qtWaitFor;

constexpr double kSimulatorMask = 15.0;

// Every place (elevation, azimuth in degrees) a capture's GSV sentences give each PRN 1-32.
struct CaptureSky
{
    std::multimap<unsigned, std::pair<double, double>> places;
};

CaptureSky readCaptureSky(const std::string& bytes)
{
    CaptureSky sky;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("$GPGSV,"))
            continue;
        std::vector<std::string> fields;
        std::istringstream sentence(line.substr(0, line.find('*')));
        for (std::string field; std::getline(sentence, field, ',');)
            fields.push_back(field);
        if (fields.size() < 4)
            continue;
        for (std::size_t i = 4; i + 2 < fields.size(); i += 4) {
            const unsigned prn = static_cast<unsigned>(std::stoul(fields[i]));
            if (prn <= SkyTable::kShown && !fields[i + 1].empty())
                sky.places.insert({prn, {std::stod(fields[i + 1]), std::stod(fields[i + 2])}});
        }
    }
    return sky;
}

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
// is not shown), each satellite stands where its elevation and azimuth put it, and the ring is the
// mask the receiver answers.
TEST_F(GeometryWindowTest, ShowsTheSimulatedReceiversSky)
{
    const std::string capture = std::string(ZEB500_SKY_LOG);
    const CaptureSky sky = readCaptureSky(testsupport::readFile(capture));
    ASSERT_FALSE(sky.places.empty());
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
    for (const SkyGlyph& glyph : picture.glyphs) {
        bool placed = false;
        const auto [first, last] = sky.places.equal_range(glyph.prn);
        for (auto place = first; place != last && !placed; ++place) {
            const double distance = 1.0 - place->second.first / 90.0;
            const double azimuth = place->second.second * M_PI / 180.0;
            placed = std::fabs(glyph.px - (picture.centreX + std::cos(azimuth) * distance * picture.radius)) < 1e-6
                && std::fabs(glyph.py - (picture.centreY - std::sin(azimuth) * distance * picture.radius)) < 1e-6;
        }
        EXPECT_TRUE(placed) << "PRN " << glyph.prn << " at " << glyph.px << ", " << glyph.py;
    }
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
