#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace zeb::terminal {

// The terminal's log file: what the screen shows (text) or the bytes as received (raw), appended to a file
// the user chose. Writing happens on a thread of its own so a slow disk never holds up the window: write()
// only copies into a pending buffer of at most kMaxPending bytes, and what does not fit while the disk is
// behind is dropped and counted. A failed write ends the log; both are reported once by takeError().
class TerminalLog
{
public:
    enum class Mode { Text, Raw };

    static constexpr std::size_t kMaxPending = 4u << 20;
    // How long stop() waits for the writer to finish; a writer stuck in the disk after that ends by itself.
    static constexpr std::chrono::milliseconds kStopWait{3000};

    TerminalLog();
    ~TerminalLog();
    TerminalLog(const TerminalLog&) = delete;
    TerminalLog& operator=(const TerminalLog&) = delete;

    // Stops a running log, then opens `path` for appending. False, with the reason in takeError(), when the
    // file cannot be opened.
    bool start(const std::string& path, Mode mode);
    // Writes out what is pending and closes the file.
    void stop();
    bool running() const { return m_state != nullptr; }
    Mode mode() const { return m_mode; }

    void write(std::string_view bytes);
    // What went wrong since the last call (a failed write ends the log), or empty.
    std::string takeError();

private:
    struct State;

    std::shared_ptr<State> m_state;
    Mode m_mode = Mode::Text;
    std::string m_error;
};

} // namespace zeb::terminal
