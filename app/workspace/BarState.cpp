#include "app/workspace/BarState.h"

#include "stream/IOSTStream.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <utility>

namespace zeb::workspace {
namespace {

constexpr std::string_view kBarPrefix = "$PKVR,RPC,BAR,";
constexpr std::string_view kCountPattern = "$PKVR,RPC,BAR,COUNT,%u\r\n";
constexpr std::string_view kScreenPattern = "$PKVR,RPC,BAR,SCREEN,%d,%d\r\n";
constexpr std::string_view kRecordPattern
    = "$PKVR,RPC,BAR,%u,%d,%d,%d,%d,%d,%d,%u,%d,%u,%d,%d,%d,%d,%u,%d,%d%[^\r\n]\r\n";
constexpr std::string_view kContainedPattern = ",%u%[^\r\n]";
constexpr int kRecordFields = 17;

// The identifiers after the seventeenth field: ",%u" as long as the rest begins with a comma.
// Every step consumes at least the comma and a digit, so the loop ends with the line.
void readContained(std::string rest, std::vector<std::uint32_t>& contained)
{
    std::string next;
    while (!rest.empty() && rest.front() == ',') {
        std::uint32_t id = 0;
        const int fields = text::scan(rest, kContainedPattern, &id, &next);
        if (fields < 1)
            return;
        contained.push_back(id);
        if (fields < 2)
            return;
        rest.swap(next);
    }
}

} // namespace

bool BarState::handleLine(std::string_view line)
{
    std::uint32_t count = 0;
    if (text::scan(line, kCountPattern, &count) == 1)
        return true;
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    if (text::scan(line, kScreenPattern, &screenWidth, &screenHeight) == 2)
        return true;
    if (!line.starts_with(kBarPrefix))
        return false;

    BarRecord r;
    std::string rest;
    const int fields = text::scan(line, kRecordPattern, &r.id, &r.visible, &r.floating, &r.horizontal, &r.isDockBar,
                                  &r.x, &r.y, &r.mruWidth, &r.dockingAllowed, &r.mruDockId, &r.mruTop, &r.mruLeft,
                                  &r.mruRight, &r.mruBottom, &r.mruFloatStyle, &r.mruFloatX, &r.mruFloatY, &rest);
    if (fields < kRecordFields)
        return false;
    if (fields > kRecordFields)
        readContained(std::move(rest), r.contained);
    records.push_back(std::move(r));
    loaded = true;
    return true;
}

std::string BarState::recordLine(const BarRecord& r)
{
    std::string line
        = text::format("$PKVR,RPC,BAR,%u,%d,%d,%d,%d,%d,%d,%u,%d,%u,%d,%d,%d,%d,%u,%d,%d", r.id, r.visible, r.floating,
                       r.horizontal, r.isDockBar, r.x, r.y, r.mruWidth, r.dockingAllowed, r.mruDockId, r.mruTop,
                       r.mruLeft, r.mruRight, r.mruBottom, r.mruFloatStyle, r.mruFloatX, r.mruFloatY);
    for (const std::uint32_t id : r.contained)
        text::appendFormat(line, ",%u", id);
    line += "\r\n";
    return line;
}

std::string BarState::lines(int screenWidth, int screenHeight) const
{
    std::string out = text::format("$PKVR,RPC,BAR,COUNT,%u\r\n", static_cast<unsigned>(records.size()));
    text::appendFormat(out, "$PKVR,RPC,BAR,SCREEN,%d,%d\r\n", screenWidth, screenHeight);
    for (const BarRecord& record : records)
        out += recordLine(record);
    return out;
}

void BarState::writeLines(stream::IOSTStream& stream, int screenWidth, int screenHeight) const
{
    stream.write(lines(screenWidth, screenHeight));
}

} // namespace zeb::workspace
