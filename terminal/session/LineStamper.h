#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zeb::terminal {

// Puts a time stamp in front of every line of the text shown, for the optional time stamps of the terminal.
// It follows the line starts across pieces (a CR ends a line; an LF right after it is still that line's
// end), so a line shown in several pieces gets one stamp.
class LineStamper
{
public:
    // "hh:mm:ss.mmm " in local time.
    static constexpr std::size_t kStampLength = 13;
    static std::string_view format(std::chrono::system_clock::time_point when, char (&buffer)[kStampLength + 1]);

    // The text with `stamp` before each line that starts in it, valid until the next call. The text ends at
    // its first NUL, as on the screen.
    std::string_view stamp(std::string_view text, std::string_view stamp);
    // The screen was emptied: the next text starts a line.
    void reset();

private:
    std::string m_out;
    bool m_lineStart = true;
    bool m_afterCr = false;
};

} // namespace zeb::terminal
