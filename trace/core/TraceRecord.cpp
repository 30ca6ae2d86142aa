#include "trace/core/TraceRecord.h"

#include "text/Scan.h"

namespace zeb::trace {

namespace {

constexpr std::string_view kOutputPattern = "$PKVR,DEBUG,TRACE,OUTPUT,%u,%[^,],%[^,],%u,%[^\r\n]";
constexpr int kOutputFields = 5;

} // namespace

bool parseTraceOutput(std::string_view text, TraceRecord& record)
{
    return text::scan(text, kOutputPattern, &record.level, &record.component, &record.file, &record.line,
                      &record.comment)
        == kOutputFields;
}

std::optional<TraceRecord> parseTraceOutput(std::string_view text)
{
    TraceRecord record;
    if (!parseTraceOutput(text, record))
        return std::nullopt;
    return record;
}

} // namespace zeb::trace
