#include "terminal/filters/FilterPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zeb::terminal {
namespace {

TEST(FilterPattern, MatchesAndFillsFields)
{
    struct Case
    {
        const char* pattern;
        const char* sentence;
        bool matches;
        std::vector<FilterField> fields;
    };
    const Case cases[] = {
        {"$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A,12", true, {{"Mode", "A"}, {"Value", "12"}}},
        {"$PKVR,SET,%[Mode],%[Value]", "$PKVR,SET,A", false, {}},
        {"$PKVR,LOG,%[Rest]*", "$PKVR,LOG,a,b,,c", true, {{"Rest", "a,b,,c"}}},
        {"$PKVR,%[Rest]*,X", "$PKVR,a,X", false, {}}, // the asterisk must end the pattern
        {"$PKVR,%[Mode", "$PKVR,%[Mode", false, {}},
        {"$%[Id]X", "$PKVRX", false, {}}, // a field stops only at a comma
        {"%[=%[ a]", "v", true, {{"=%[ a", "v"}}},
        {"%[X]", "", true, {{"X", ""}}},
    };
    for (const Case& c : cases) {
        std::vector<FilterField> fields{{"stale", "stale"}};
        EXPECT_EQ(FilterPattern::match(c.pattern, c.sentence, &fields), c.matches) << c.pattern;
        if (c.matches) {
            EXPECT_EQ(fields, c.fields) << c.pattern;
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
