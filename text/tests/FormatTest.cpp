#include "text/Format.h"

#include "testsupport/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

using zeb::text::appendFormat;
using zeb::text::format;

namespace {

std::string viaVformat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string viaVformat(const char* fmt, ...)
{
    std::va_list args;
    va_start(args, fmt);
    std::string out = zeb::text::vformat(fmt, args);
    va_end(args);
    return out;
}

TEST(Format, FormatsLikePrintfKeepingNulsAndAppending)
{
    EXPECT_EQ(format("$PKVR,RPC,FRAME,\"%s\",%d,%u,%.3f\r\n", "main", -2, 30u, 1.5),
              "$PKVR,RPC,FRAME,\"main\",-2,30,1.500\r\n");
    EXPECT_EQ(format("a%cb", 0), std::string("a\0b", 3));
    std::string out("x\0y", 3);
    appendFormat(out, "%s", "z");
    EXPECT_EQ(out, std::string("x\0yz", 4));
}

TEST(Format, HandlesEveryLengthAroundTheInternalBuffer)
{
    // Lengths on both sides of whatever size the first formatting pass uses.
    for (int length = 0; length < 1100; ++length) {
        const std::string expected(static_cast<std::size_t>(length), 'x');
        ASSERT_EQ(format("%s", expected.c_str()), expected) << length;
        ASSERT_EQ(viaVformat("%*s", length, ""), std::string(static_cast<std::size_t>(length), ' ')) << length;
        std::string appended("head,");
        appendFormat(appended, "%s*", expected.c_str());
        ASSERT_EQ(appended, "head," + expected + "*") << length;
    }
}

TEST(Format, WritesADecimalPointUnderACommaDecimalLocale)
{
    const zeb::testsupport::CommaDecimalLocale french;
    if (french.noLocaledef())
        GTEST_SKIP() << french.problem();
    ASSERT_TRUE(french.active()) << french.problem();
    EXPECT_EQ(format("com1,9600,8,%.1f,N", 1.0), "com1,9600,8,1.0,N");
}

} // namespace
