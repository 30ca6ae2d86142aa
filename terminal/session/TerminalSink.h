#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::terminal {

// Where the terminal shows text: the screen view in the workbench, the console in the command-line
// terminal. The text may hold any bytes; CR ends a line, as on the screen view.
class TerminalSink
{
public:
    virtual ~TerminalSink() = default;
    // `colour` is 0x00BBGGRR. The text is valid only during the call.
    virtual void show(std::uint32_t colour, std::string_view text) = 0;
};

} // namespace zeb::terminal
