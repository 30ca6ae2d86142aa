#include "app/workspace/DocumentCommon.h"

#include "stream/IOSTStream.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <array>

namespace zeb::workspace {
namespace {

constexpr std::string_view kQuotedFramePattern = "$PKVR,RPC,FRAME,\"%[^\"]\",%d,%d,%d,%d,%d\r\n*s";
constexpr std::string_view kEmptyTitleFramePattern = "$PKVR,RPC,FRAME,\"\",%d,%d,%d,%d,%d\r\n*s";
constexpr std::string_view kNumbersFramePattern = "$PKVR,RPC,FRAME,%d,%d,%d,%d,%d\r\n*s";
constexpr std::string_view kBarPrefix = "$PKVR,RPC,BAR,";
constexpr int kFrameFieldsNeeded = 4;

// A quote would end the title's field early and a line feed or another control byte would
// break the line (the framer refuses it, and loading stops there), so the written title
// carries a substitute for each. Carriage returns are harmless inside a line and stay.
std::string writableTitle(std::string_view title)
{
    std::string out(title);
    for (char& c : out) {
        if (c == '"')
            c = '\'';
        else if (static_cast<unsigned char>(c) < 0x20 && c != '\r')
            c = ' ';
    }
    return out;
}

// "%" in a key would turn into a conversion of the pattern.
std::string patternText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

} // namespace

bool DocumentCommon::handleLine(std::string_view line)
{
    // The numbers are read into copies: a line that is not handled changes nothing, also when
    // it carried some of the fields.
    const std::array<std::int32_t, 5> current{x, y, width, height, showState};
    std::array<std::int32_t, 5> n = current;
    std::string readTitle;
    const auto store = [&] {
        x = n[0];
        y = n[1];
        width = n[2];
        height = n[3];
        showState = n[4];
        return true;
    };
    if (text::scan(line, kQuotedFramePattern, &readTitle, &n[0], &n[1], &n[2], &n[3], &n[4]) >= kFrameFieldsNeeded) {
        title = std::move(readTitle);
        return store();
    }
    n = current;
    if (text::scan(line, kEmptyTitleFramePattern, &n[0], &n[1], &n[2], &n[3], &n[4]) >= kFrameFieldsNeeded) {
        title.clear();
        return store();
    }
    n = current;
    if (text::scan(line, kNumbersFramePattern, &n[0], &n[1], &n[2], &n[3], &n[4]) >= kFrameFieldsNeeded)
        return store();
    if (line.starts_with(kBarPrefix))
        return barState.handleLine(line);
    return false;
}

std::string DocumentCommon::lines(int screenWidth, int screenHeight) const
{
    std::string out = text::format("$PKVR,RPC,FRAME,\"%s\",%d,%d,%d,%d,%d\r\n", writableTitle(title).c_str(), x, y,
                                   width, height, showState);
    out += barState.lines(screenWidth, screenHeight);
    return out;
}

void DocumentCommon::writeLines(stream::IOSTStream& stream, int screenWidth, int screenHeight) const
{
    stream.write(lines(screenWidth, screenHeight));
}

std::optional<std::uint32_t> readStreamLine(std::string_view line, std::string_view key)
{
    const std::string pattern = "$PKVR,RPC," + patternText(key) + ",STREAM,%u\r\n*s";
    std::uint32_t streamId = 0;
    if (text::scan(line, pattern, &streamId) != 1)
        return std::nullopt;
    return streamId;
}

std::string streamLine(std::string_view key, std::uint32_t streamId)
{
    return text::format("$PKVR,RPC,%.*s,STREAM,%u\r\n", static_cast<int>(key.size()), key.data(), streamId);
}

} // namespace zeb::workspace
