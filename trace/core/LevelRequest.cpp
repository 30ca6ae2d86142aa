#include "trace/core/LevelRequest.h"

#include <charconv>

namespace zeb::trace {

std::optional<ComponentSwitches> parseLevelRequest(std::string_view text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size())
        return std::nullopt;
    ComponentSwitches request{std::string(text.substr(0, colon)), {}};
    // The name must be one a component line could carry, so that the SET lines read back the same.
    const auto line = parseComponentLine("$PKVR,DEBUG,TRACE," + request.name + ",0,0,0,0,0,0");
    if (!line || line->name != request.name)
        return std::nullopt;
    std::string_view levels = text.substr(colon + 1);
    while (true) {
        const auto comma = levels.find(',');
        const std::string_view item = levels.substr(0, comma);
        unsigned level = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), level);
        if (error != std::errc() || end != item.data() + item.size() || level < 1 || level > kLevelCount)
            return std::nullopt;
        request.levels[level - 1] = true;
        if (comma == std::string_view::npos)
            return request;
        levels.remove_prefix(comma + 1);
    }
}

} // namespace zeb::trace
