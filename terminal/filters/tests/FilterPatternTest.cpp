#include "terminal/filters/FilterPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

struct MatchCase
{
    const char* name;
    const char* pattern;
    const char* sentence;
    bool matches;
    std::vector<FilterField> fields;
};

class PatternMatch : public testing::TestWithParam<MatchCase>
{ };

TEST_P(PatternMatch, MatchesAndFillsFields)
{
    const MatchCase& c = GetParam();
    std::vector<FilterField> fields{{"stale", "stale"}};
    EXPECT_EQ(FilterPattern::match(c.pattern, c.sentence, &fields), c.matches);
    EXPECT_EQ(FilterPattern::match(c.pattern, c.sentence), c.matches);
    if (c.matches) {
        EXPECT_EQ(fields, c.fields);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternMatch,
    testing::Values(
        MatchCase{"TwoFields", "$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A,12", true, {{"Mode", "A"}, {"Value", "12"}}},
        MatchCase{"LastFieldMissing", "$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A", false, {}},
        MatchCase{"RestTakesCommas", "$PKVR,LOG,%[Rest]*", "$PKVR,LOG,a,b,,c", true, {{"Rest", "a,b,,c"}}},
        MatchCase{"AsteriskMustEndPattern", "$PKVR,%[Rest]*,X", "$PKVR,a,X", false, {}},
        MatchCase{"UnclosedPlaceholderFails", "$PKVR,%[Mode", "$PKVR,%[Mode", false, {}},
        MatchCase{"FieldStopsOnlyAtComma", "$%[Id]X", "$PKVRX", false, {}},
        MatchCase{"LabelMayHoldAnything", "%[=%[ a]", "v", true, {{"=%[ a", "v"}}},
        MatchCase{"PlaceholderAloneMatchesEmptySentence", "%[X]", "", true, {{"X", ""}}}),
    [](const auto& info) { return info.param.name; });

struct AnswerCase
{
    const char* name;
    const char* pattern;
    std::vector<std::string> values;
    std::string answer;
};

class PatternAnswer : public testing::TestWithParam<AnswerCase>
{ };

TEST_P(PatternAnswer, FillsInValues)
{
    EXPECT_EQ(FilterPattern::answer(GetParam().pattern, GetParam().values), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternAnswer,
    testing::Values(AnswerCase{"Edited", "$PKVR,SET,%[Mode],%[Value]", {"A", "13"}, "$PKVR,SET,A,13"},
                    AnswerCase{"ValueLongerThanAPromptSlotKeptWhole",
                               "$%[V],",
                               {std::string(100, 'v')},
                               "$" + std::string(100, 'v') + ","},
                    AnswerCase{"MissingValuesAreEmpty", "%[A],%[B]", {"1"}, "1,"},
                    AnswerCase{"PercentWithoutBracketCopied", "50%,%[A", {"x"}, "50%,%[A"}),
    [](const auto& info) { return info.param.name; });

// An answer with the values as matched gives back the sentence, for every shape of pattern.
TEST(PatternAnswerRoundTrip, UneditedValuesRebuildTheSentence)
{
    const std::pair<const char*, const char*> cases[] = {
        {"$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A,12"},
        {"$PKVR,%[a],%[b]*", "$PKVR,1,2,3,4"},
        {"$GP%[id],%[t],,%[r]*", "$GPGGA,1,,,9"},
    };
    for (const auto& [pattern, sentence] : cases) {
        std::vector<FilterField> fields;
        ASSERT_TRUE(FilterPattern::match(pattern, sentence, &fields)) << pattern;
        std::vector<std::string> values;
        for (const FilterField& field : fields) {
            values.emplace_back(field.value);
        }
        EXPECT_EQ(FilterPattern::answer(pattern, values), sentence);
    }
}

} // namespace
} // namespace zeb::terminal
