#include "terminal/core/PlaceholderTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

using Rows = std::vector<PromptRow>;

TEST(PlaceholderTable, FindsLabelsAndDefaults)
{
    const std::vector<std::pair<std::string, Rows>> cases = {
        {"50% [x]", {}},
        {"%[Hour=12]:%[Minute]", {{"Hour", "12"}, {"Minute", ""}}},
        {"%[]%[=]", {{"", ""}, {"", ""}}},
        {"%[ok] then %[open", {{"ok", ""}}},
    };
    PlaceholderTable table;
    Rows rows;
    for (const auto& [text, expected] : cases) {
        table.scan(text);
        table.fillRows(rows);
        EXPECT_EQ(rows, expected) << text;
    }
}

// Texts are cut to 79 bytes, never inside a character; placeholders beyond the 32nd are sent as they stand.
TEST(PlaceholderTable, LimitsOfTextsAndOfPlaceholders)
{
    std::string text = "%[" + std::string(100, 'L') + "=" + std::string(100, 'd') + "]";
    for (int i = 1; i < 34; ++i) {
        text += "%[p" + std::to_string(i) + "]";
    }
    PlaceholderTable table;
    ASSERT_EQ(table.scan(text), PlaceholderTable::kMaxPlaceholders);
    Rows rows;
    table.fillRows(rows);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows[0].label, std::string(79, 'L'));
    EXPECT_EQ(rows[0].value, std::string(79, 'd'));
    EXPECT_EQ(rows.back().label, "p31");
    for (auto& row : rows) {
        row.value = "-";
    }
    rows[0].value = std::string(200, 'v');
    EXPECT_EQ(table.substitute(text, rows), std::string(79, 'v') + std::string(31, '-') + "%[p32]%[p33]");

    const std::string accented = std::string(78, 'a') + "\xC3\xA9"; // é would straddle the limit
    EXPECT_EQ(PlaceholderTable::bounded(accented), std::string(78, 'a'));
}

} // namespace
} // namespace zeb::terminal
