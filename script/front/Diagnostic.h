// A problem found in a script, with where it stands.
#pragma once

#include <cstdint>
#include <string>

namespace zeb::script {

struct Diagnostic
{
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::string text;
};

} // namespace zeb::script
