// The automatic test's workspace line: "$PKVR,RPC,IHTL,PATH,"%s"\r\n" with the test file's path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeb::autotest {

struct PathLine
{
    static std::string format(std::string_view path);
    // The path between the quotes; nothing for another line or for empty quotes.
    static std::optional<std::string> parse(std::string_view line);
};

} // namespace zeb::autotest
