// Where a token or a syntax-tree node stands in a script text.
#pragma once

#include <cstdint>

namespace zeb::script {

// Lines count from 1, columns from 0; the last position is that of the last character.
struct SourceSpan
{
    std::uint32_t firstLine = 0;
    std::uint32_t firstColumn = 0;
    std::uint32_t lastLine = 0;
    std::uint32_t lastColumn = 0;
};

// A place in the text: line, column and the count of characters before it.
struct SourcePosition
{
    std::uint32_t line = 1;
    std::uint32_t column = 0;
    std::uint32_t offset = 0;
};

} // namespace zeb::script
