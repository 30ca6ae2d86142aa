// zeb500-cli and zeb500-sim as a user runs them, against local files, a hostile peer and each
// other: nothing is overwritten or escapes, every refusal says why, nothing hangs.

#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/HostilePeer.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zeb::tools {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::HostilePeer;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program run as a child, its output in files; the environment minus `drop`.
class Child
{
public:
    Child(std::vector<std::string> arguments, const fs::path& folder, const std::vector<std::string>& drop = {})
        : m_out(folder / "out")
        , m_err(folder / "err")
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<char*> env;
        for (char** at = environ; *at; ++at) {
            const std::string_view entry(*at);
            if (std::none_of(drop.begin(), drop.end(),
                             [&](const std::string& name) { return entry.rfind(name + "=", 0) == 0; }))
                env.push_back(*at);
        }
        env.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    // The exit status, or -1 when it did not end within the limit (it is then killed).
    int wait(std::chrono::seconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the child did not end within " << limit.count() << " s";
                return -1;
            }
            std::this_thread::sleep_for(5ms);
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int stop()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
        return wait();
    }
    std::string out() const { return readAll(m_out); }
    std::string err() const { return readAll(m_err); }

private:
    pid_t m_pid = -1;
    fs::path m_out;
    fs::path m_err;
};

class CliTest : public ::testing::Test
{
protected:
    Child cli(std::vector<std::string> arguments, const std::vector<std::string>& drop = {})
    {
        arguments.insert(arguments.begin(), ZEB500_CLI_EXECUTABLE);
        return Child(std::move(arguments), folder, drop);
    }

    testsupport::TempFolder scratch;
    const fs::path folder = scratch.path();
};

TEST_F(CliTest, CommandsThatNeedAConnectionRefuseLocalFiles)
{
    const fs::path notes = folder / "notes.txt";
    std::ofstream(notes) << "my notes\n";
    // Every command that checks its address itself, once.
    const std::vector<std::vector<std::string>> commands
        = {{"ping", notes}, {"remote", "rm", notes.string() + "//x"}, {"serve", notes}, {"terminal", notes}};
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        Child child = cli(command);
        EXPECT_EQ(child.wait(), 2);
        EXPECT_NE(child.err().find("is no connection address"), std::string::npos) << child.err();
        EXPECT_EQ(child.out().find("serving"), std::string::npos);
        EXPECT_EQ(readAll(notes), "my notes\n");
    }
}

TEST_F(CliTest, FrameShowsWhatASubscriberReceives)
{
    const fs::path capture = folder / "capture.bin";
    // A request frame (which goes to the request service, never to subscribers), then a sentence.
    std::ofstream(capture, std::ios::binary) << std::string("\xFE\x78\x00\x0F\x01\x00\xFE\xCA\x02\x00\x00\x00"
                                                            "\x04\x03\x02\x01\x02\x5C\xFF",
                                                            19)
                                             << "$GPHDT,1.0,T\r\n";
    Child frame = cli({"frame", capture});
    EXPECT_EQ(frame.wait(), 0) << frame.err();
    EXPECT_EQ(frame.out().find("fe78"), std::string::npos) << frame.out();
    EXPECT_NE(frame.out().find("\"length\":14,"), std::string::npos) << frame.out();
}

TEST_F(CliTest, ServingNeedsAFolderMadeForPeers)
{
    const char* home = std::getenv("ZEB500_HOME");
    ASSERT_TRUE(home && *home) << "run with a scratch ZEB500_HOME";
    Child dataFolder = cli({"serve", "/dev/server/127.0.0.1/0", "--root", home});
    EXPECT_EQ(dataFolder.wait(), 2);
    EXPECT_NE(dataFolder.err().find("data folder"), std::string::npos) << dataFolder.err();

    const std::vector<std::string> noHome = {"HOME", "XDG_DATA_HOME", "ZEB500_HOME"};
    Child serve = cli({"serve", "/dev/server/127.0.0.1/0"}, noHome);
    EXPECT_EQ(serve.wait(), 2);
    EXPECT_NE(serve.err().find("no folder to serve"), std::string::npos) << serve.err();
    Child terminal = cli({"terminal", "/dev/client/127.0.0.1/1"}, noHome);
    EXPECT_EQ(terminal.wait(), 2);
    EXPECT_NE(terminal.err().find("no data folder"), std::string::npos) << terminal.err();
}

TEST_F(CliTest, AFolderFetchedFromAHostilePeerStaysInItsTarget)
{
    HostilePeer peer(HostilePeer::serving({[](std::string_view path) {
                                               return path == "dir" ? stream::rpc::file_type::Directory
                                                                    : stream::rpc::file_type::Regular;
                                           },
                                           [](std::string_view, std::uint32_t at) {
                                               return at == 0 ? std::optional<std::string>("../escaped") : std::nullopt;
                                           }}));
    Child get = cli({"remote", "get", "--quiet", peer.address() + "//dir", (folder / "target").string()});
    EXPECT_EQ(get.wait(), 1);
    EXPECT_NE(get.err().find("get dir failed"), std::string::npos) << get.err();
    EXPECT_FALSE(fs::exists(folder / "escaped"));
}

// The simulator serves a copy on loopback only; serve logs what a peer asks for escaped.
TEST_F(CliTest, TheSimulatorAndServeKeepPeersInTheirPlace)
{
    const fs::path tracked = fs::path(ZEB500_SIM_DEMO_ROOT) / "README.TXT";
    ASSERT_TRUE(fs::exists(tracked));
    testsupport::PortPrintingProcess sim({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "max", ZEB500_SIM_CAPTURE});
    const unsigned port = sim.port();
    ASSERT_GT(port, 0u) << "waited for the simulator's port";
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, ":%04X", port);
    EXPECT_NE(readAll("/proc/net/tcp").find(std::string("0100007F") + portHex), std::string::npos)
        << "the simulator listens on 127.0.0.1 only";
    Child rm = cli({"remote", "rm", "/dev/client/127.0.0.1/" + std::to_string(port) + "//ide0a/README.TXT"});
    EXPECT_EQ(rm.wait(), 0) << rm.err();
    EXPECT_TRUE(fs::exists(tracked)) << "the tracked demo tree is never served";
    EXPECT_EQ(sim.stop(), 0);

    // A free port for serve: bound, told, released.
    unsigned free = 0;
    ::close(testsupport::LoopbackPeer::listenOnFreePort(free));
    const std::string where = "127.0.0.1/" + std::to_string(free);
    fs::create_directories(folder / "root");
    Child serve = cli({"serve", "/dev/server/" + where, "--root", (folder / "root").string()});
    stream::socket::registerSocketTransports();
    stream::rpc::installRemoteRequests(fs::path());
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    for (auto deadline = std::chrono::steady_clock::now() + 30s; !link.isOpen();) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "waited for serve to listen: " << serve.err();
        link.open("/dev/client/" + where, "r+b");
    }
    stream::rpc::RemoteFileClient client(link);
    EXPECT_EQ(client.fileType("\x1b]0;owned\x07"), stream::rpc::file_type::NotFound);
    link.close();
    EXPECT_EQ(serve.stop(), 0);
    EXPECT_NE(serve.out().find("request 9 \\x1b]0;owned\\x07"), std::string::npos) << serve.out();
    EXPECT_EQ(serve.out().find('\x1b'), std::string::npos);
}

} // namespace
} // namespace zeb::tools
