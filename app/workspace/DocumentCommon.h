#pragma once

#include "app/workspace/BarState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::workspace {

// The fields every document keeps for its window, and their workspace lines.
struct DocumentCommon
{
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMinimized = 2;
    static constexpr int kShowMaximized = 3;

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 400;
    std::int32_t height = 200;
    std::int32_t showState = kShowNormal;
    std::string title = "No name";
    BarState barState;

    // FRAME lines (quoted title, empty quotes, or numbers only; at least four fields), then
    // BAR lines. Numbers a line does not carry keep their values.
    bool handleLine(std::string_view line);
    // The FRAME line from the fields, then the bar state's lines.
    void writeLines(stream::IOSTStream& stream, int screenWidth, int screenHeight) const;
    std::string lines(int screenWidth, int screenHeight) const;
};

// "$PKVR,RPC,<key>,STREAM,%u\r\n": the stream identifier a document attaches to.
std::optional<std::uint32_t> readStreamLine(std::string_view line, std::string_view key);
std::string streamLine(std::string_view key, std::uint32_t streamId);

} // namespace zeb::workspace
