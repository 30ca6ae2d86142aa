#pragma once

#include "terminal/session/TerminalOptions.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::terminal {

// What a terminal document keeps for the workspace, and its own workspace lines (written after the lines
// common to every document):
//   "$PKVR,RPC,IHTE,STREAM,%u\r\n"
//   "$PKVR,RPC,IHTE,OPTION,%s\r\n"                  the option text of TerminalOptions
//   "$PKVR,RPC,IHTE,BUTTON,BAR,SIZE,%d,%d\r\n"
struct TerminalSettings
{
    static constexpr std::uint32_t kDefaultStreamId = 65;
    static constexpr std::int32_t kDefaultButtonBarWidth = 800;
    static constexpr std::int32_t kDefaultButtonBarHeight = 10;

    std::uint32_t streamId = kDefaultStreamId;
    TerminalOptions options;
    std::int32_t buttonBarWidth = kDefaultButtonBarWidth;
    std::int32_t buttonBarHeight = kDefaultButtonBarHeight;

    // Defaults, with the options from the application's settings.
    static TerminalSettings fromSettings();

    // Takes a line that is one of the terminal's own (true) and leaves the rest to other readers (false).
    bool handleLine(std::string_view line);
    // The terminal's lines in the order they are written, each ending in CR LF.
    std::string lines() const;

    bool operator==(const TerminalSettings&) const = default;
};

} // namespace zeb::terminal
