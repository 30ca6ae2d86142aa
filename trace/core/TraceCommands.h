#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::trace {

// The sentences the workbench sends a receiver to drive its trace. The checksum field is neither added nor expected.
inline constexpr std::string_view kViewRequest = "$PKVR,DEBUG,TRACE,VIEW\r\n";
inline constexpr std::string_view kTraceOn = "$PKVR,DEBUG,TRACE,ON\r\n";
inline constexpr std::string_view kTraceOff = "$PKVR,DEBUG,TRACE,OFF\r\n";
// Sentences are written with these retries and delay, escaping on.
inline constexpr int kWriteRetries = 0;
inline constexpr int kWriteRetryDelayMs = 20;

// "$PKVR,DEBUG,TRACE,SET,<component>,<level>,<1|0>\r\n".
std::string setLevelLine(std::string_view component, std::uint32_t level, bool on);

} // namespace zeb::trace
