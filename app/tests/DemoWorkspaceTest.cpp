#include "app/framework/CIHCOTemplate.h"
#include "app/tests/ShellFixture.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEView.h"

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zeb::app::test {
namespace {

// The simulated receiver as a child process on a free TCP port.
class Simulator
{
public:
    explicit Simulator(const std::string& capture)
    {
        int output[2];
        if (pipe(output) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        std::string program = ZEB500_SIM_EXECUTABLE;
        std::string port = "--port";
        std::string zero = "0";
        std::string pace = "--pace";
        std::string rate = "200";
        std::string file = capture;
        char* argv[] = {program.data(), port.data(), zero.data(), pace.data(), rate.data(), file.data(), nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        // "listening <port>" on its first line.
        std::string line;
        char c = 0;
        while (read(output[0], &c, 1) == 1 && c != '\n')
            line.push_back(c);
        close(output[0]);
        std::sscanf(line.c_str(), "listening %u", &m_port);
    }

    ~Simulator()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }

    unsigned port() const { return m_port; }

private:
    pid_t m_pid = -1;
    unsigned m_port = 0;
};

using DemoWorkspaceTest = ShellFixture;

TEST_F(DemoWorkspaceTest, ShippedDemoShowsTheSimulatedReceiversTraffic)
{
    const std::string source = std::getenv("ZEB500_SOURCE_DIR");
    Simulator simulator(source + "/data/captures/nmea/isync.nmea");
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

    start({QString::fromStdString(copy.string())});
    ASSERT_TRUE(app->connectionOpen());
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
    EXPECT_TRUE(waitFor([&] { return shows("$GPRMC,131519.00"); }, 5000));
    EXPECT_TRUE(waitFor([&] { return shows("$GPGSA,A,3"); }, 5000));
    // The sentences keep moving, and the activity pane follows them.
    EXPECT_TRUE(waitFor([&] { return frame().paneIcon(1) == 2; }, 2000));
}

} // namespace
} // namespace zeb::app::test
