#include "script/vm/ProgramRun.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zeb::script::vm {

namespace {

// What the child starts with: no inherited blocked or ignored signals, its own process group
// (so a stop reaches whatever it started), no input, and its output kept out of the script's.
class SpawnSetup
{
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, STDERR_FILENO, STDOUT_FILENO);
        posix_spawnattr_init(&m_attributes);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        sigset_t all;
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        posix_spawnattr_setsigdefault(&m_attributes, &all);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

bool startProgram(const std::string& program, const std::vector<std::string>& arguments, pid_t& pid)
{
    if (program.empty() || program.find('\0') != std::string::npos)
        return false;
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const SpawnSetup setup;
    struct stat status
    { };
    const bool searched = program.find('/') == std::string::npos && ::stat(program.c_str(), &status) != 0;
    const int failed = searched
        ? posix_spawnp(&pid, program.c_str(), setup.actions(), setup.attributes(), argv.data(), environ)
        : posix_spawn(&pid, program.c_str(), setup.actions(), setup.attributes(), argv.data(), environ);
    return failed == 0;
}

void signalGroup(pid_t pid, int signal)
{
    if (::kill(-pid, signal) != 0)
        ::kill(pid, signal);
}

} // namespace

int ProgramRun::run(const std::string& program, const std::vector<std::string>& arguments,
                    const std::function<bool()>& stopRequested, std::chrono::milliseconds grace)
{
    pid_t pid = 0;
    if (!startProgram(program, arguments, pid))
        return kNotStarted;
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds pause{1};
    bool terminated = false;
    bool killed = false;
    Clock::time_point killAt;
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        if (ended < 0 && errno != EINTR)
            return kNotStarted; // reaped elsewhere: its exit code is lost
        if (!terminated && stopRequested()) {
            signalGroup(pid, SIGTERM);
            terminated = true;
            killAt = Clock::now() + grace;
        } else if (terminated && !killed && Clock::now() >= killAt) {
            signalGroup(pid, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return kNotStarted;
}

} // namespace zeb::script::vm
