#include "terminal/core/TelecommandTranslator.h"

#include "terminal/core/NmeaChecksum.h"

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

TEST(NmeaChecksum, CompletesOnlySentencesWithoutOne)
{
    const std::pair<std::string, std::string> cases[] = {
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r\n",
         "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"},
        {"!A\r\n$B,1*00\r\nAT\r\n$\r\n$C", "!A*41\r\n$B,1*00\r\nAT\r\n$\r\n$C*43"},
        {"", ""},
    };
    for (const auto& [typed, sent] : cases) {
        std::vector<std::uint8_t> out{'x'};
        NmeaChecksum::complete(std::span(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size()), out);
        EXPECT_EQ(std::string(out.begin(), out.end()), sent);
    }
}

} // namespace
} // namespace zeb::terminal
