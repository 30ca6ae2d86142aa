#include "testsupport/PortPrintingProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zeb::testsupport {
namespace {

constexpr int kStartMs = 20'000;
constexpr auto kStopLimit = std::chrono::seconds(10);

// The first line `fd` gives within kStartMs, without its line feed.
std::string firstLine(int fd)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
    while (line.size() < 200) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            break;
        char c = 0;
        if (::read(fd, &c, 1) != 1 || c == '\n')
            break;
        line.push_back(c);
    }
    return line;
}

// Waits for `pid` up to kStopLimit; its wait status, or -1 when it is still running.
int reap(pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

} // namespace

PortPrintingProcess::PortPrintingProcess(std::vector<std::string> arguments)
{
    int out[2];
    if (arguments.empty() || ::pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    const std::string line = m_pid > 0 ? firstLine(out[0]) : std::string();
    ::close(out[0]);
    if (std::sscanf(line.c_str(), "listening %u", &m_port) != 1)
        m_port = 0;
}

PortPrintingProcess::~PortPrintingProcess()
{
    if (stop() == -1 && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

int PortPrintingProcess::stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    const int status = reap(m_pid);
    if (status == -1)
        return -1; // still running: the destructor ends it
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zeb::testsupport
