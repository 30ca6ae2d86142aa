#pragma once

#include "trace/core/ComponentTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace zeb::trace {

// "COMPONENT:LEVELS" as the command line takes it, e.g. "NAV:1,2,6": the component with exactly those levels on.
// None for a text without a name, with an empty list, or with a level outside 1 to 6.
std::optional<ComponentSwitches> parseLevelRequest(std::string_view text);

} // namespace zeb::trace
