#include "testsupport/SocatPair.h"

#include "testsupport/WaitFor.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zeb::stream::serial::testing {

SocatPair::SocatPair()
{
    char folder[] = "/tmp/zeb-serial-XXXXXX";
    if (!::mkdtemp(folder))
        return;
    m_folder = folder;
    m_endA = m_folder + "/A";
    m_endB = m_folder + "/B";
    std::string first = "pty,raw,echo=0,link=" + m_endA;
    std::string second = "pty,raw,echo=0,link=" + m_endB;
    std::vector<char*> arguments{const_cast<char*>("socat"),
                                 const_cast<char*>("-d"),
                                 const_cast<char*>("-d"),
                                 first.data(),
                                 second.data(),
                                 nullptr};

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = ::posix_spawnp(&m_pid, "socat", &actions, nullptr, arguments.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        return;
    }
    m_ready = testsupport::eventually(
        [this] { return std::filesystem::exists(m_endA) && std::filesystem::exists(m_endB); });
}

SocatPair::~SocatPair()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

PeerLine::PeerLine(const std::string& path)
    : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    termios attributes{};
    if (m_fd >= 0 && ::tcgetattr(m_fd, &attributes) == 0) {
        ::cfmakeraw(&attributes);
        ::tcsetattr(m_fd, TCSANOW, &attributes);
    }
}

PeerLine::~PeerLine()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PeerLine::writeAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd out{m_fd, POLLOUT, 0};
        if (::poll(&out, 1, 5000) <= 0)
            return false;
    }
    return true;
}

std::string PeerLine::read(std::size_t count, std::chrono::milliseconds quiet)
{
    std::string got;
    while (got.size() < count) {
        pollfd in{m_fd, POLLIN, 0};
        if (::poll(&in, 1, static_cast<int>(quiet.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

} // namespace zeb::stream::serial::testing
