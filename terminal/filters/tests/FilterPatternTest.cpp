#include "terminal/filters/FilterPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zeb::terminal {
namespace {

TEST(FilterPattern, MatchesAndFillsFields)
{
    // The pattern, the sentence, whether it matches, the fields when it does.
    const std::tuple<const char*, const char*, bool, std::vector<FilterField>> cases[] = {
        {"$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A,12", true, {{"Mode", "A"}, {"Value", "12"}}},
        {"$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A", false, {}},
        {"$PKVR,LOG,%[Rest]*", "$PKVR,LOG,a,b,,c", true, {{"Rest", "a,b,,c"}}},
        {"$PKVR,%[Rest]*,X", "$PKVR,a,X", false, {}}, // the asterisk must end the pattern
        {"$PKVR,%[Mode", "$PKVR,%[Mode", false, {}},
        {"$%[Id]X", "$PKVRX", false, {}}, // a field stops only at a comma
        {"%[=%[ a]", "v", true, {{"=%[ a", "v"}}},
        {"%[X]", "", true, {{"X", ""}}},
    };
    for (const auto& [pattern, sentence, matches, expected] : cases) {
        std::vector<FilterField> fields{{"stale", "stale"}};
        EXPECT_EQ(FilterPattern::match(pattern, sentence, &fields), matches) << pattern;
        if (matches) {
            EXPECT_EQ(fields, expected) << pattern;
        }
    }
}

TEST(FilterPattern, AnswerFillsInValues)
{
    const std::string longValue(100, 'v');
    const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
        {"$%[V],", {longValue}, "$" + longValue + ","}, // longer than a prompt slot: kept whole
        {"%[A],%[B]", {"1"}, "1,"},
        {"50%,%[A", {"x"}, "50%,%[A"},
    };
    for (const auto& [pattern, values, answer] : cases)
        EXPECT_EQ(FilterPattern::answer(pattern, values), answer) << pattern;
}

} // namespace
} // namespace zeb::terminal
