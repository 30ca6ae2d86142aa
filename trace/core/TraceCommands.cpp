#include "trace/core/TraceCommands.h"

#include "text/Format.h"

namespace zeb::trace {

std::string setLevelLine(std::string_view component, std::uint32_t level, bool on)
{
    return text::format("$PKVR,DEBUG,TRACE,SET,%.*s,%u,%u\r\n", static_cast<int>(component.size()), component.data(),
                        level, on ? 1U : 0U);
}

} // namespace zeb::trace
