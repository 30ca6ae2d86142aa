// Menu texts come from language libraries, which anybody can build. Whatever the text, the
// parser must return lines that nest properly, so that the menu builder's stack is safe.
#include "app/language/MenuParser.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zeb::language::MenuLine;
    using zeb::language::MenuParser;
    using zeb::testsupport::check;
    const auto lines = MenuParser::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    int depth = 0;
    for (const MenuLine& line : lines) {
        if (line.kind == MenuLine::Kind::End)
            --depth;
        check(line.depth == depth && depth >= 0 && depth <= MenuParser::kMaximumDepth);
        check(line.kind != MenuLine::Kind::Item || !line.label.empty());
        if (line.kind == MenuLine::Kind::Popup)
            ++depth;
    }
    check(depth == 0);
    return 0;
}
