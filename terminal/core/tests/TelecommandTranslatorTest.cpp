#include "terminal/core/TelecommandTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case
{
    const char* name;
    std::string text;
    Bytes sent;
    std::string_view error;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class Translation : public ::testing::TestWithParam<Case>
{ };

TEST_P(Translation, SendsTheBytesOrGivesTheError)
{
    const Case& c = GetParam();
    TelecommandTranslator translator;
    const auto result = translator.translate(c.text);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(Bytes(result.bytes.begin(), result.bytes.end()), c.sent);
}

constexpr auto kSyntax = TelecommandTranslator::kSyntaxError;
constexpr auto kWhiteSpace = TelecommandTranslator::kMissingWhiteSpace;
constexpr auto kBadNumber = TelecommandTranslator::kBadHexadecimalNumber;
constexpr auto kEndOfLine = TelecommandTranslator::kMissingEndOfLine;

const Case kEscapes[] = {
    Case{"PlainText", "$PKVR,ID\r\n", {'$', 'P', 'K', 'V', 'R', ',', 'I', 'D', 13, 10}, {}},
    Case{"DoubleBackslash", "ab\\\\cd", {'a', 'b', '\\', 'c', 'd'}, {}},
    Case{"Decimal", "\\d065", {'A'}, {}},
    Case{"DecimalModulo", "\\d300", {44}, {}},
    Case{"HexOnlyTwoDigits", "\\xABC", {0xAB, 'C'}, {}},
    Case{"HexBadDigit", "\\xG1", {}, kSyntax},
    Case{"UnknownEscape", "\\t", {}, kSyntax},
    Case{"BackslashAtEnd", "abc\\", {}, kSyntax},
    Case{"ErrorAfterGoodTextSendsNothing", "abc\\r\\q", {}, kSyntax},
};

INSTANTIATE_TEST_SUITE_P(Escapes, Translation, ::testing::ValuesIn(kEscapes));

const Case kBlocks[] = {
    Case{"TypedLine", "\\x 02 41 03\r\n", {0x02, 0x41, 0x03}, {}},
    Case{"NumberSizes", "\\x 1 ABC 12345678", {0x01, 0x0A, 0xBC, 0x12, 0x34, 0x56, 0x78}, {}},
    Case{"OddDigitCounts", "\\x 123 12345 1234567", {0x01, 0x23, 0x01, 0x23, 0x45, 0x01, 0x23, 0x45, 0x67}, {}},
    Case{"TextGoesOnAfterTheLine", "\\x 41 42\r\nC\\x43", {0x41, 0x42, 'C', 'C'}, {}},
    Case{"NineDigits", "\\x 123456789", {}, kBadNumber},
    Case{"FollowedByComma", "\\x 12,", {}, kWhiteSpace},
    Case{"CrWithoutLf", "\\x 12\rA", {}, kEndOfLine},
    Case{"LetterWhereANumberMayBegin", "\\x 12 G", {}, kBadNumber},
    Case{"BackslashInsideBlock", "\\x \\r", {}, kBadNumber},
};

INSTANTIATE_TEST_SUITE_P(HexadecimalBlock, Translation, ::testing::ValuesIn(kBlocks));

TEST(TelecommandTranslator, KeepsItsBufferBetweenTranslations)
{
    TelecommandTranslator translator;
    const auto first = translator.translate("\\x 01020304 05060708 AA\r\n");
    ASSERT_TRUE(first.ok());
    const std::uint8_t* buffer = first.bytes.data();
    const auto second = translator.translate("short");
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.bytes.data(), buffer);
    EXPECT_EQ(std::string(second.bytes.begin(), second.bytes.end()), "short");
    const auto failed = translator.translate("\\z");
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.bytes.empty());
}

} // namespace
} // namespace zeb::terminal
