// Workspace lines of the terminal: any line is taken or left without harm, and what is written reads back.
#include "terminal/session/TerminalSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    zeb::terminal::TerminalSettings settings;
    settings.handleLine(std::string_view(reinterpret_cast<const char*>(data), size));
    settings.options.parseText(std::string_view(reinterpret_cast<const char*>(data), size));

    zeb::terminal::TerminalSettings back;
    const std::string lines = settings.lines();
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = lines.find('\n', at) + 1;
        if (!back.handleLine(std::string_view(lines).substr(at, end - at))) {
            std::abort();
        }
        at = end;
    }
    if (!(back == settings)) {
        std::abort();
    }
    return 0;
}
