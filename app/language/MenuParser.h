#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::language {

// One line of a menu text (see LanguageResources.h).
struct MenuLine
{
    enum class Kind { Popup, End, Item, Separator, Recent };

    Kind kind = Kind::Separator;
    unsigned command = 0; // Item: the command identifier
    std::string label; // Popup, Item: the label, "&" marking the mnemonic
    std::string shortcut; // Item: the part of the label after a tab ("Ctrl+O"), or empty
    int depth = 0; // how many popups enclose the line (an End is at its popup's depth)
};

// Reads a menu text into lines that always nest properly: malformed lines and an End without
// an open popup are dropped, popups nested deeper than kMaximumDepth are dropped with their
// contents, and popups left open at the end are closed. So a builder can
// follow the lines with a stack and never look back.
class MenuParser
{
public:
    static constexpr int kMaximumDepth = 16;

    static std::vector<MenuLine> parse(std::string_view text);
};

} // namespace zeb::language
