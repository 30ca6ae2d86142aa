#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace zeb::testsupport {

// A child process that listens on a free TCP port and prints "listening <port>" as its first
// line (the simulated receiver with --port 0). The destructor asks it to stop and, when it has
// not stopped within a few seconds, ends it.
class PortPrintingProcess
{
public:
    // arguments[0] is the program. Waits at most 20 s for the first line.
    explicit PortPrintingProcess(std::vector<std::string> arguments);
    ~PortPrintingProcess();
    PortPrintingProcess(const PortPrintingProcess&) = delete;
    PortPrintingProcess& operator=(const PortPrintingProcess&) = delete;

    // The printed port, 0 when the process did not start or printed no port in time.
    unsigned port() const { return m_port; }
    // Asks it to stop (SIGTERM) and waits; its exit status, or -1 when it did not exit normally.
    int stop();

private:
    pid_t m_pid = -1;
    unsigned m_port = 0;
};

} // namespace zeb::testsupport
