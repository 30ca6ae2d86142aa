#include "terminal/core/PlaceholderStep.h"
#include "terminal/core/PlaceholderTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

using Rows = std::vector<PromptRow>;

// Records what it was asked and answers as told.
class ScriptedPrompt : public PromptHandler
{
public:
    PromptResult prompt(std::vector<PromptRow>& rows) override
    {
        asked.push_back(rows);
        for (std::size_t i = 0; i < answers.size() && i < rows.size(); ++i) {
            rows[i].value = answers[i];
        }
        return result;
    }

    PromptResult result = PromptResult::Accept;
    std::vector<std::string> answers;
    std::vector<Rows> asked;
};

struct Sent
{
    std::vector<std::string> writes;
    PlaceholderStep::Writer writer()
    {
        return [this](std::span<const std::uint8_t> bytes) { writes.emplace_back(bytes.begin(), bytes.end()); };
    }
};

TEST(PlaceholderTable, FindsLabelsAndDefaults)
{
    struct Case
    {
        std::string text;
        Rows rows;
    };
    const std::vector<Case> cases = {
        {"50% [x]", {}},
        {"%[Hour=12]:%[Minute]", {{"Hour", "12"}, {"Minute", ""}}},
        {"%[]%[=]", {{"", ""}, {"", ""}}},
        {"text %[", {}},
        {"%[ok] then %[open", {{"ok", ""}}},
    };
    PlaceholderTable table;
    Rows rows;
    for (const auto& c : cases) {
        table.scan(c.text);
        table.fillRows(rows);
        EXPECT_EQ(rows, c.rows) << c.text;
    }
}

TEST(PlaceholderTable, ReplacesEachPlaceholderByItsValue)
{
    struct Case
    {
        std::string text;
        std::vector<std::string> values;
        std::string sent;
    };
    const std::vector<Case> cases = {
        {"$PKVR,TIME,%[Hour=12],%[Minute]\r\n", {"12", "30"}, "$PKVR,TIME,12,30\r\n"},
        {"%[x] %[", {"v"}, "v %["},
        {"%[x]%[y]", {"1"}, "1"}, // a missing row counts as empty
    };
    PlaceholderTable table;
    for (const auto& c : cases) {
        table.scan(c.text);
        Rows rows;
        for (const auto& value : c.values) {
            rows.push_back({"", value});
        }
        EXPECT_EQ(table.substitute(c.text, rows), c.sent) << c.text;
    }
}

TEST(PlaceholderTable, PlaceholdersBeyondThirtyTwoAreSentAsTheyStand)
{
    std::string text;
    for (int i = 0; i < 34; ++i) {
        text += "%[p" + std::to_string(i) + "]";
    }
    PlaceholderTable table;
    ASSERT_EQ(table.scan(text), PlaceholderTable::kMaxPlaceholders);
    Rows rows;
    table.fillRows(rows);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows.back().label, "p31");
    for (auto& row : rows) {
        row.value = "-";
    }
    EXPECT_EQ(table.substitute(text, rows), std::string(32, '-') + "%[p32]%[p33]");
}

TEST(PlaceholderTable, LongTextsAreCutToSeventyNineBytesWithoutSplittingCharacters)
{
    const std::string longLabel(100, 'L');
    const std::string text = "%[" + longLabel + "=" + std::string(100, 'd') + "]";
    PlaceholderTable table;
    table.scan(text);
    Rows rows;
    table.fillRows(rows);
    EXPECT_EQ(rows[0].label, std::string(79, 'L'));
    EXPECT_EQ(rows[0].value, std::string(79, 'd'));
    rows[0].value = std::string(200, 'v');
    EXPECT_EQ(table.substitute(text, rows), std::string(79, 'v'));

    const std::string accented = std::string(78, 'a') + "\xC3\xA9"; // é would straddle the limit
    EXPECT_EQ(PlaceholderTable::bounded(accented), std::string(78, 'a'));
}

TEST(PlaceholderStep, AsksForHourAndMinuteAndSendsThemFilledIn)
{
    ScriptedPrompt prompt;
    prompt.answers = {"12", "45"};
    Sent sent;
    PlaceholderStep step(prompt, sent.writer());
    EXPECT_EQ(step.send("$PKVR,SET,TIME,%[Hour=12],%[Minute]\r\n"), PromptResult::Accept);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], (Rows{{"Hour", "12"}, {"Minute", ""}}));
    EXPECT_EQ(sent.writes, (std::vector<std::string>{"$PKVR,SET,TIME,12,45\r\n"}));
}

} // namespace
} // namespace zeb::terminal
