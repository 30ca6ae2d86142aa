#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace zeb::stream::serial::testing {

// Two linked pseudo-terminals made by a socat child process: what is written into one end comes
// out of the other. The pair lives as long as the object; its ends are symbolic links in a
// temporary folder.
class SocatPair
{
public:
    SocatPair();
    ~SocatPair();

    SocatPair(const SocatPair&) = delete;
    SocatPair& operator=(const SocatPair&) = delete;

    // Both links exist.
    bool ready() const { return m_ready; }
    const std::string& endA() const { return m_endA; }
    const std::string& endB() const { return m_endB; }

private:
    std::string m_folder;
    std::string m_endA;
    std::string m_endB;
    pid_t m_pid = -1;
    bool m_ready = false;
};

// The far end of a serial line: a raw, non-blocking descriptor on a pseudo-terminal.
class PeerLine
{
public:
    explicit PeerLine(const std::string& path);
    ~PeerLine();

    PeerLine(const PeerLine&) = delete;
    PeerLine& operator=(const PeerLine&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    bool writeAll(std::string_view bytes);
    // Reads until `count` bytes have come or nothing came for `quiet`.
    std::string read(std::size_t count, std::chrono::milliseconds quiet);

private:
    int m_fd = -1;
};

} // namespace zeb::stream::serial::testing
