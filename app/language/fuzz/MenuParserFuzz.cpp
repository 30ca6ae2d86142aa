// Menu texts come from language libraries, which anybody can build. Whatever the text, the
// parser must return lines that nest properly, so that the menu builder's stack is safe.
#include "app/language/MenuParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zeb::language::MenuLine;
    using zeb::language::MenuParser;
    const auto lines = MenuParser::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    int depth = 0;
    for (const MenuLine& line : lines) {
        if (line.kind == MenuLine::Kind::End)
            --depth;
        const bool wrongDepth = line.depth != depth || depth < 0 || depth > MenuParser::kMaximumDepth;
        const bool emptyItem = line.kind == MenuLine::Kind::Item && line.label.empty();
        if (wrongDepth || emptyItem) {
            std::fprintf(stderr, "bad menu line: depth %d, expected %d\n", line.depth, depth);
            __builtin_trap();
        }
        if (line.kind == MenuLine::Kind::Popup)
            ++depth;
    }
    if (depth != 0) {
        std::fprintf(stderr, "popups left open: %d\n", depth);
        __builtin_trap();
    }
    return 0;
}
