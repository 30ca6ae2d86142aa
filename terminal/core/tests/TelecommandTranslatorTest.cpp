#include "terminal/core/TelecommandTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace zeb::terminal {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kSyntax = TelecommandTranslator::kSyntaxError;
constexpr auto kBadNumber = TelecommandTranslator::kBadHexadecimalNumber;

TEST(TelecommandTranslator, SendsTheBytesOrGivesTheError)
{
    // The text, the bytes sent, the error.
    const std::tuple<std::string, Bytes, std::string_view> cases[] = {
        {"ab\\\\cd\r\n", {'a', 'b', '\\', 'c', 'd', 13, 10}, {}},
        {"\\d065\\d300", {'A', 44}, {}},
        {"\\xABC", {0xAB, 'C'}, {}},
        {"\\xG1", {}, kSyntax},
        {"abc\\r\\q", {}, kSyntax}, // an error after good text sends nothing
        {"abc\\", {}, kSyntax},
        // A hexadecimal block: numbers of one to eight digits up to the end of the line.
        {"\\x 1 ABC 12345678 123\r\nC", {0x01, 0x0A, 0xBC, 0x12, 0x34, 0x56, 0x78, 0x01, 0x23, 'C'}, {}},
        {"\\x 123456789", {}, kBadNumber},
        {"\\x 12,", {}, TelecommandTranslator::kMissingWhiteSpace},
        {"\\x 12\rA", {}, TelecommandTranslator::kMissingEndOfLine},
        {"\\x \\r", {}, kBadNumber},
    };
    TelecommandTranslator translator;
    for (const auto& [text, sent, error] : cases) {
        const auto result = translator.translate(text);
        EXPECT_EQ(result.error, error) << text;
        EXPECT_EQ(Bytes(result.bytes.begin(), result.bytes.end()), sent) << text;
    }
}

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
}

} // namespace
} // namespace zeb::terminal
