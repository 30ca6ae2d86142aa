#include "script/vm/Value.h"

#include "script/vm/NumberText.h"
#include "script/vm/ValueStack.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

using namespace zeb::script::vm;

namespace {

TEST(Value, NormalisesIntegralResultsInsideThe32BitRangeOnly)
{
    EXPECT_EQ(Value::normalised(4.0).tag(), Tag::Integer);
    EXPECT_EQ(Value::normalised(-2147483648.0).tag(), Tag::Integer);
    EXPECT_EQ(Value::normalised(2147483648.0).tag(), Tag::Number);
    EXPECT_EQ(Value::normalised(std::numeric_limits<double>::infinity()).tag(), Tag::Number);
    EXPECT_EQ(Value::normalised(std::numeric_limits<double>::quiet_NaN()).tag(), Tag::Number);
    EXPECT_EQ(Value::normalised(0.5).tag(), Tag::Number);
}

TEST(Value, ConvertsToIntegerNumericallyWithoutUndefinedCasts)
{
    EXPECT_EQ(Value::number(1e300).integral(), 0);
    EXPECT_EQ(Value::number(std::numeric_limits<double>::quiet_NaN()).integral(), 0);
    EXPECT_EQ(Value::number(-7.9).integral(), -7);
    EXPECT_EQ(Value::string("12").integral(), 0);
    EXPECT_EQ(Value::character(0xFF).integral(), -1);
}

TEST(Value, SharesStringTextAcrossCopies)
{
    Value first = Value::string("abc");
    Value second = first;
    first = Value::integer(1);
    EXPECT_EQ(second.asText(), "abc");
    EXPECT_TRUE(second.identical(Value::string("abc")));
}

TEST(Value, AppendsInPlaceOnlyToTextNoOtherValueHolds)
{
    Value text = Value::string("ab");
    Value variable = text;
    EXPECT_TRUE(text.appendInPlace(variable, "c"));
    EXPECT_EQ(variable.asText(), "abc");
    const Value other = text;
    EXPECT_FALSE(text.appendInPlace(variable, "d"));
    EXPECT_FALSE(text.appendInPlace(Value::string("abc"), "d"));
    EXPECT_EQ(other.asText(), "abc");
}

TEST(ValueStack, MakesValuesAsTheyAreReachedAndReleasesThemAtTheEnd)
{
    Value text = Value::string("kept");
    {
        ValueStack stack(100000);
        stack.reach(stack.begin() + 3);
        EXPECT_TRUE(stack.begin()[2].isNil());
        stack.begin()[2] = text;
        stack.reach(stack.end());
        EXPECT_TRUE(stack.end()[-1].isNil());
        stack.end()[-1] = text;
    }
    // Only text and holder are left: the stack released both of its references.
    const Value holder = text;
    EXPECT_TRUE(text.appendInPlace(holder, "!"));
}

TEST(NumberText, PrintsWithAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(NumberText::number(2.5), "2.5");
    EXPECT_EQ(NumberText::number(1.0 / 3), "0.333333");
    EXPECT_EQ(NumberText::number(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(NumberText::number(-std::numeric_limits<double>::quiet_NaN()), "nan");
    if (previous != nullptr)
        std::setlocale(LC_NUMERIC, "C");
}

} // namespace
