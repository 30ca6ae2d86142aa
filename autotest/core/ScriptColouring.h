// Which parts of a script line the editor colours: reserved words, literals and comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zeb::autotest {

struct ScriptColouring
{
    enum class Kind : std::uint8_t { Reserved, Literal, Comment };
    struct Span
    {
        std::size_t start = 0;
        std::size_t length = 0;
        Kind kind = Kind::Reserved;
    };

    // The spans of one line (in UTF-16 units, as the editor counts). `inComment` says whether
    // the line starts inside a block comment and is left saying whether it ends inside one.
    static std::vector<Span> line(std::u16string_view text, bool& inComment);
};

} // namespace zeb::autotest
