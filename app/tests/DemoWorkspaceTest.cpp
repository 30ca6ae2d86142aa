#include "app/framework/CIHCOTemplate.h"
#include "app/tests/ShellFixture.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEView.h"
#include "testsupport/PortPrintingProcess.h"

#include <fstream>
#include <sstream>

namespace zeb::app::test {
namespace {

using DemoWorkspaceTest = ShellFixture;

TEST_F(DemoWorkspaceTest, ShippedDemoShowsTheSimulatedReceiversTraffic)
{
    const std::string source = std::getenv("ZEB500_SOURCE_DIR");
    testsupport::PortPrintingProcess simulator(
        {ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "200", source + "/data/captures/nmea/isync.nmea"});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";

    // The start command's copy of the demo, pointed at this simulator's port.
    std::ifstream shipped(source + "/data/demo/demo.ute", std::ios::binary);
    std::stringstream text;
    text << shipped.rdbuf();
    std::string demo = text.str();
    const std::string address = "/dev/client/localhost/4001";
    ASSERT_NE(demo.find(address), std::string::npos);
    demo.replace(demo.find(address), address.size(), "/dev/client/localhost/" + std::to_string(simulator.port()));
    const auto copy = home / "demo.ute";
    std::ofstream(copy, std::ios::binary) << demo;

    settings->writeText("Settings", "workspace", (home / "mine.ute").string());
    start({QString::fromStdString(copy.string()), QString::fromLatin1(CUTTEApp::kOnceOption)});
    ASSERT_TRUE(connectionOpens());
    // Every window of the demo came back from it.
    for (const char* key : {"IHTE", "IHDB", "IHWB", "IHGE", "IHHD", "IHIM", "IHTL"})
        EXPECT_NE(framework::DocumentManager::instance().byKey(key)->firstDocument(), nullptr) << key;
    auto* document = framework::DocumentManager::instance().byKey("IHTE")->firstDocument();
    ASSERT_NE(document, nullptr);
    auto* view = static_cast<terminal::CIHTEDocument*>(document)->view();
    ASSERT_NE(view, nullptr);
    auto shows = [&](std::string_view prefix) {
        const auto& lines = view->text().lines();
        for (int i = 0; i < lines.lineCount(); ++i) {
            if (lines.line(i).substr(0, prefix.size()) == prefix)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(testsupport::qtWaitFor([&] { return shows("$GPRMC,131519.00"); }, "the simulator's RMC sentence"));
    EXPECT_TRUE(testsupport::qtWaitFor([&] { return shows("$GPGSA,A,3"); }, "the simulator's GSA sentence"));
    // The sentences keep moving, and the activity pane follows them.
    EXPECT_TRUE(testsupport::qtWaitFor([&] { return frame().paneIcon(1) == 2; }, "the receive pane active"));

    // The demo is for this run only: the next plain start loads the user's own workspace.
    frame().close();
    EXPECT_EQ(settings->readText("Settings", "workspace", ""), (home / "mine.ute").string());
}

} // namespace
} // namespace zeb::app::test
