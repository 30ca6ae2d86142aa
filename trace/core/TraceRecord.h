#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::trace {

// One trace event a receiver emitted: its level, where in the receiver's software it happened and what it says.
struct TraceRecord
{
    std::uint32_t level = 0;
    std::string component;
    std::string file;
    std::uint32_t line = 0;
    std::string comment;

    bool operator==(const TraceRecord&) const = default;
};

// "$PKVR,DEBUG,TRACE,OUTPUT,<level>,<component>,<file>,<line>,<comment>": the comment is the rest of the line,
// commas included. Fills `record` (reusing its buffers) and answers true only when all five fields read.
bool parseTraceOutput(std::string_view text, TraceRecord& record);

// As parseTraceOutput, into a fresh record.
std::optional<TraceRecord> parseTraceOutput(std::string_view text);

} // namespace zeb::trace
