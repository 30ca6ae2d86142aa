#include "messages/FieldScanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace zeb::messages {
namespace {

namespace scanned = field_scan_result;

TEST(FieldScanner, FormatErrorsAreReportedWhateverTheFields)
{
    const std::vector<std::string> bad = {
        "%q", "%", "%l", "%f16", "%i64", "%c16", "%sx", "%u8y", "%u8,*,", "*", "%u123456", "%%", "%u8**", "%.3lfq",
    };
    FieldScanner scanner;
    const std::string_view one[] = {"1"};
    for (const auto& format : bad) {
        EXPECT_EQ(scanner.scan(one, format), scanned::BadFormat) << format;
        EXPECT_EQ(scanner.scan(std::span<const std::string_view>(), format), scanned::BadFormat) << format;
    }
    for (const char* format : {"%+-08.3lf", "%lu", "%u16d", "%i8b", "%s80", "%T", "%L", "%G", "%H", "%u,x,*"}) {
        EXPECT_NE(scanner.scan(one, format), scanned::BadFormat) << format;
    }
}

// The value column is what the cell reads as a number: 0 where the scan fails, and for times, which stay text.
TEST(FieldScanner, ConversionsCheckRangeAndForm)
{
    // The format, the field, the result and the cell's value.
    const std::vector<std::tuple<const char*, const char*, int, double>> cases = {
        // Integers: width, sign and base.
        {"%u8", "255", scanned::Converted, 255},
        {"%u8", "256", scanned::Mismatch, 0},
        {"%u8", "-1", scanned::Mismatch, 0},
        {"%i8", "-128", scanned::Converted, -128},
        {"%i8", "-129", scanned::Mismatch, 0},
        {"%u32", "4294967295", scanned::Converted, 4294967295.0},
        {"%u", "99999999999999999999999999", scanned::Mismatch, 0},
        {"%i32", "2147483648", scanned::Mismatch, 0},
        {"%u16x", "FFFF", scanned::Converted, 65535},
        {"%u8b", "101", scanned::Converted, 5},
        {"%u8d", "0A", scanned::Mismatch, 0},
        {"%u", "12a", scanned::Mismatch, 0},
        // Reals: strict decimal numbers.
        {"%f64", "123.4", scanned::Converted, 123.4},
        {"%lf", "-0.5", scanned::Converted, -0.5},
        {"%lf", "1e3", scanned::Converted, 1000.0},
        {"%lf", "1e", scanned::Mismatch, 0},
        {"%lf", "inf", scanned::Mismatch, 0},
        {"%lf", "0x10", scanned::Mismatch, 0},
        {"%lf", "1e400", scanned::Mismatch, 0},
        {"%f32", "1e39", scanned::Mismatch, 0},
        {"%f", "0.1", scanned::Converted, static_cast<double>(0.1f)},
        // Latitude and longitude kept as written, not converted to degrees; minutes below 60.
        {"%L", "4221.8237733", scanned::Converted, 4221.8237733},
        {"%L", "9000.01", scanned::Mismatch, 0},
        {"%L", "8960.0", scanned::Mismatch, 0},
        {"%L", "-0010.0", scanned::Mismatch, 0},
        {"%G", "07101.9411707", scanned::Converted, 7101.9411707},
        {"%G", "18000.5", scanned::Mismatch, 0},
        // Times: hhmmss with at most two decimals.
        {"%T", "235959.9", scanned::Converted, 0},
        {"%T", "240000", scanned::Mismatch, 0},
        {"%T", "125960", scanned::Mismatch, 0},
        {"%T", "194050.123", scanned::Mismatch, 0},
        {"%T", "194050,00", scanned::Mismatch, 0},
        {"%c", "AB", scanned::Mismatch, 0},
    };
    FieldScanner scanner;
    for (const auto& [format, field, code, value] : cases) {
        const std::string_view fields[] = {field};
        EXPECT_EQ(scanner.scan(fields, format), code) << format << " " << field;
        EXPECT_EQ(scanner.cell(1).asDouble(), value) << format << " " << field;
    }
    const std::string_view time[] = {"194050.00"};
    ASSERT_EQ(scanner.scan(time, "%T"), scanned::Converted);
    EXPECT_EQ(scanner.cell(1).asString(), "194050.00");
}

TEST(FieldScanner, RepeatRunsOutAndExtraFields)
{
    FieldScanner scanner;
    const std::string_view five[] = {"1", "2", "", "4", "5"};
    for (const char* format : {"%u8,*", "%u8*"}) {
        ASSERT_EQ(scanner.scan(five, format), scanned::Converted) << format;
        EXPECT_EQ(scanner.cellCount(), 5u) << format;
        EXPECT_EQ(scanner.cell(5).asInteger(), 5) << format;
        EXPECT_TRUE(scanner.cell(3).isEmpty()) << format;
    }
    EXPECT_EQ(scanner.scan(five, "T,%u8,*"), scanned::Mismatch);
    const std::string_view badTail[] = {"1", "2", "x"};
    EXPECT_EQ(scanner.scan(badTail, "%u,*"), scanned::Mismatch) << "repeated conversions are checked too";
    EXPECT_TRUE(scanner.cell(1).isEmpty()) << "a failed scan leaves no half-filled cells";

    const std::string_view one[] = {"1.5"};
    EXPECT_EQ(scanner.scan(one, "%lf,%lf,%lf"), scanned::Converted) << "conversions may run past the fields";
    EXPECT_EQ(scanner.cellCount(), 1u);
    EXPECT_EQ(scanner.scan(one, "%lf,T"), scanned::Mismatch) << "a literal letter may not";
    EXPECT_EQ(scanner.scan(one, "%lf,,T"), scanned::Converted) << "only the next item decides";
    EXPECT_EQ(scanner.scan(one, ""), scanned::Converted);
    EXPECT_EQ(scanner.cellCount(), 0u);

    const std::string_view three[] = {"1.5", "garbage", "x"};
    EXPECT_EQ(scanner.scan(three, "%lf"), scanned::Converted) << "fields beyond the format are not looked at";
    EXPECT_EQ(scanner.cellCount(), 1u);
}

TEST(FieldValue, ConversionsSaturateRatherThanOverflow)
{
    EXPECT_EQ(FieldValue::real(1e300, 64).asInteger(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(FieldValue::real(-1e300, 64).asInteger(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(FieldValue::real(std::nan(""), 64).asInteger(), 0);
    EXPECT_EQ(FieldValue::unsignedInteger(4294967295u, 32).asInteger(), 4294967295LL);
    EXPECT_EQ(FieldValue::text("").asCharacter(), '\0');
}

} // namespace
} // namespace zeb::messages
