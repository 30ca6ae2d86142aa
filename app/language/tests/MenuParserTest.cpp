#include "app/language/MenuParser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zeb::language {
namespace {

using Kind = MenuLine::Kind;

// A compact picture of parsed lines: "P:label@depth", "E@depth", "I:id:label[:shortcut]@depth",
// "S@depth", "R@depth".
std::string picture(std::string_view text)
{
    std::string out;
    for (const MenuLine& line : MenuParser::parse(text)) {
        if (!out.empty())
            out += ' ';
        out += "PEISR"[static_cast<int>(line.kind)];
        if (line.kind == Kind::Popup)
            out += ":" + line.label;
        if (line.kind == Kind::Item)
            out += ":" + std::to_string(line.command) + ":" + line.label
                + (line.shortcut.empty() ? "" : ":" + line.shortcut);
        out += "@" + std::to_string(line.depth);
    }
    return out;
}

TEST(MenuParser, ReadsMenusAndRepairsOrDropsMalformedLines)
{
    const std::pair<const char*, const char*> cases[] = {
        {"POPUP &File\nITEM 33302 &Open...\tCtrl+O\nSEPARATOR\nRECENT\nITEM 57665 E&xit\nEND\n",
         "P:&File@0 I:33302:&Open...:Ctrl+O@1 S@1 R@1 I:57665:E&xit@1 E@0"},
        {"  POPUP  Spaced  \r\n\tITEM 7   Seven \t F7 \r\nEND\r\n", "P:Spaced@0 I:7:Seven:F7@1 E@0"},
        {"END\nITEM 1 One", "I:1:One@0"}, // END without a popup
        {"POPUP A\nITEM 1 One", "P:A@0 I:1:One@1 E@0"}, // popup left open
        {"ITEM x One\nITEM 1\nITEM -1 Minus\nITEM 99999999999 Big", ""}, // bad numbers, no label
        {"POPUP\nITEM 3 Three\nEND", "P:@0 I:3:Three@1 E@0"}, // an unnamed popup still nests
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(picture(text), expected) << text;
}

TEST(MenuParser, DropsPopupsNestedTooDeepWithTheirContents)
{
    std::string text;
    const int levels = MenuParser::kMaximumDepth + 3;
    for (int i = 0; i < levels; ++i)
        text += "POPUP level\n";
    text += "ITEM 5 Deep\n";
    for (int i = 0; i < levels; ++i)
        text += "END\n";
    text += "ITEM 6 After\n";

    const auto lines = MenuParser::parse(text);
    int popups = 0;
    for (const MenuLine& line : lines) {
        popups += line.kind == Kind::Popup ? 1 : 0;
        EXPECT_NE(line.command, 5u);
    }
    EXPECT_EQ(popups, MenuParser::kMaximumDepth);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().command, 6u);
    EXPECT_EQ(lines.back().depth, 0);
}

} // namespace
} // namespace zeb::language
