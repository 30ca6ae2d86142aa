// Runs another program to its end, started directly (never through a shell) in a process
// group of its own, and stopped on request: SIGTERM to the group, SIGKILL after a grace time.
// The child is always reaped.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zeb::script::vm {

class ProgramRun
{
public:
    static constexpr int kNotStarted = -1;

    // The program's exit code (128 + the signal number when a signal ended it), or
    // kNotStarted. A name without "/" that names no file here is searched along PATH. The
    // child reads nothing (standard input is /dev/null) and its output goes to this process's
    // standard error. stopRequested is asked every few milliseconds while the program runs.
    static int run(const std::string& program, const std::vector<std::string>& arguments,
                   const std::function<bool()>& stopRequested,
                   std::chrono::milliseconds grace = std::chrono::seconds(2));
};

} // namespace zeb::script::vm
