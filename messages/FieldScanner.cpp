#include "messages/FieldScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zeb::messages {

namespace {

using namespace field_scan_result;

struct Conversion
{
    char type = 0;
    unsigned width = 0;
    int base = 10;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAlnum(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int baseOfSuffix(char c)
{
    switch (c) {
    case 'b':
        return 2;
    case 'd':
        return 10;
    case 'x':
        return 16;
    default:
        return 0;
    }
}

// Width and base rules of each type letter; fills the defaults.
bool completeConversion(Conversion& c, bool isLong, int suffixBase)
{
    const bool isInteger = c.type == 'i' || c.type == 'u';
    if (suffixBase != 0 && !isInteger) {
        return false;
    }
    switch (c.type) {
    case 'c':
        c.width = c.width == 0 ? 8 : c.width;
        return c.width == 8;
    case 'f':
        c.width = c.width == 0 ? (isLong ? 64 : 32) : c.width;
        return c.width == 32 || c.width == 64;
    case 'i':
    case 'u':
        c.width = c.width == 0 ? 32 : c.width;
        c.base = suffixBase == 0 ? 10 : suffixBase;
        return c.width == 8 || c.width == 16 || c.width == 32;
    case 'L':
    case 'G':
    case 'H':
        c.width = 64;
        return true;
    case 's':
    case 'T':
        c.width = 0; // a width says nothing for text
        return true;
    default:
        return false;
    }
}

bool parseConversion(std::string_view item, Conversion& out)
{
    std::size_t i = 1; // past "%"
    const std::size_t n = item.size();
    while (i < n && (item[i] == '+' || item[i] == '-')) {
        ++i;
    }
    while (i < n && (isDigit(item[i]) || item[i] == '.')) {
        ++i;
    }
    const bool isLong = i < n && item[i] == 'l';
    i += isLong ? 1 : 0;
    if (i >= n) {
        return false;
    }
    out = Conversion{item[i++], 0, 10};
    for (std::size_t digits = 0; i < n && isDigit(item[i]); ++i) {
        if (++digits > 5) {
            return false;
        }
        out.width = out.width * 10 + static_cast<unsigned>(item[i] - '0');
    }
    const int suffixBase = i < n ? baseOfSuffix(item[i]) : 0;
    i += suffixBase != 0 ? 1 : 0;
    return i == n && completeConversion(out, isLong, suffixBase);
}

// Strict decimal real: optional sign, digits with an optional point, optional exponent. No "inf", "nan",
// hexadecimal or blanks, which the C library's readers would take.
bool parseReal(std::string_view text, double& out)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    i += (i < n && (text[i] == '+' || text[i] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    for (; i < n && isDigit(text[i]); ++i, ++digits) { }
    if (i < n && text[i] == '.') {
        for (++i; i < n && isDigit(text[i]); ++i, ++digits) { }
    }
    if (digits == 0) {
        return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        i += (i < n && (text[i] == '+' || text[i] == '-')) ? 1 : 0;
        const std::size_t exponentStart = i;
        for (; i < n && isDigit(text[i]); ++i) { }
        if (i == exponentStart) {
            return false;
        }
    }
    if (i != n) {
        return false;
    }
    const std::string_view number = text[0] == '+' ? text.substr(1) : text;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), out);
    return error == std::errc() && end == number.data() + number.size();
}

int digitValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// Optional sign, then at least one digit of the base. The magnitude saturates far above any width's range.
bool parseInteger(std::string_view text, int base, bool& negative, std::uint64_t& magnitude)
{
    negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    constexpr std::uint64_t saturated = std::uint64_t{1} << 40;
    magnitude = 0;
    for (const char c : text) {
        const int digit = digitValue(c);
        if (digit >= base) {
            return false;
        }
        magnitude = std::min(saturated, magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit));
    }
    return true;
}

int convertInteger(const Conversion& c, std::string_view field, FieldValue& cell)
{
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (!parseInteger(field, c.base, negative, magnitude)) {
        return Mismatch;
    }
    if (c.type == 'u') {
        if (negative || magnitude > (std::uint64_t{1} << c.width) - 1) {
            return Mismatch;
        }
        cell = FieldValue::unsignedInteger(static_cast<std::uint32_t>(magnitude), c.width);
        return Converted;
    }
    const std::uint64_t limit = std::uint64_t{1} << (c.width - 1);
    if (magnitude > (negative ? limit : limit - 1)) {
        return Mismatch;
    }
    const std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    cell = FieldValue::signedInteger(static_cast<std::int32_t>(value), c.width);
    return Converted;
}

int convertReal(const Conversion& c, std::string_view field, FieldValue& cell)
{
    double value = 0.0;
    if (!parseReal(field, value)) {
        return Mismatch;
    }
    if (c.width == 32) {
        if (std::fabs(value) > std::numeric_limits<float>::max()) {
            return Mismatch;
        }
        value = static_cast<float>(value);
    }
    cell = FieldValue::real(value, c.width);
    return Converted;
}

// ddmm.mmmm (latitude, up to 90 degrees) or dddmm.mmmm (longitude, up to 180), kept as written.
int convertAngle(double maxDegrees, std::string_view field, FieldValue& cell)
{
    double value = 0.0;
    if (!parseReal(field, value) || value < 0.0 || value > maxDegrees * 100.0) {
        return Mismatch;
    }
    const double minutes = value - std::floor(value / 100.0) * 100.0;
    if (minutes >= 60.0) {
        return Mismatch;
    }
    cell = FieldValue::real(value, 64);
    return Converted;
}

// hhmmss, optionally followed by "." and one or two digits of hundredths.
int convertTime(std::string_view field, FieldValue& cell)
{
    const std::size_t n = field.size();
    if (n < 6 || !std::all_of(field.begin(), field.begin() + 6, isDigit)) {
        return Mismatch;
    }
    if (n > 6 && (field[6] != '.' || n < 8 || n > 9 || !std::all_of(field.begin() + 7, field.end(), isDigit))) {
        return Mismatch;
    }
    const auto pair = [&](std::size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
    if (pair(0) > 23 || pair(2) > 59 || pair(4) > 59) {
        return Mismatch;
    }
    cell = FieldValue::text(field);
    return Converted;
}

int convert(const Conversion& c, std::string_view field, FieldValue& cell)
{
    cell = FieldValue();
    if (field.empty()) {
        return EmptyField;
    }
    switch (c.type) {
    case 'c':
        if (field.size() != 1) {
            return Mismatch;
        }
        cell = FieldValue::character(field[0]);
        return Converted;
    case 'f':
        return convertReal(c, field, cell);
    case 'H':
        return convertReal(c, field, cell);
    case 'i':
    case 'u':
        return convertInteger(c, field, cell);
    case 'L':
        return convertAngle(90.0, field, cell);
    case 'G':
        return convertAngle(180.0, field, cell);
    case 'T':
        return convertTime(field, cell);
    default: // 's'
        cell = FieldValue::text(field);
        return Converted;
    }
}

// Walks the comma-separated items of a format body. An empty body has no items.
class ItemCursor
{
public:
    explicit ItemCursor(std::string_view body)
        : rest_(body)
        , done_(body.empty())
    {
    }

    bool next(std::string_view& item)
    {
        if (done_) {
            return false;
        }
        const std::size_t comma = rest_.find(',');
        item = rest_.substr(0, comma);
        done_ = comma == std::string_view::npos;
        rest_ = done_ ? std::string_view() : rest_.substr(comma + 1);
        return true;
    }

private:
    std::string_view rest_;
    bool done_;
};

bool isConversionItem(std::string_view item)
{
    return !item.empty() && item[0] == '%';
}

// Splits off a final "*" and checks every item. `last` is the conversion a "*" repeats.
bool prepareFormat(std::string_view format, std::string_view& body, bool& repeat, Conversion& last)
{
    const std::size_t star = format.find('*');
    repeat = star != std::string_view::npos;
    if (repeat && star + 1 != format.size()) {
        return false;
    }
    body = format.substr(0, star);
    if (repeat && !body.empty() && body.back() == ',') {
        body.remove_suffix(1);
    }
    bool hasLast = false;
    ItemCursor items(body);
    for (std::string_view item; items.next(item);) {
        if (!isConversionItem(item)) {
            continue;
        }
        if (!parseConversion(item, last)) {
            return false;
        }
        hasLast = true;
    }
    return hasLast || !repeat;
}

int convertItem(std::string_view item, std::string_view field, FieldValue& cell)
{
    if (!isConversionItem(item)) {
        cell = FieldValue();
        if (field != item) {
            return Mismatch;
        }
        cell = FieldValue::text(field);
        return Converted;
    }
    Conversion conversion;
    parseConversion(item, conversion); // checked by prepareFormat
    return convert(conversion, field, cell);
}

} // namespace

int FieldScanner::scan(const SentenceParser& sentence, std::string_view format)
{
    std::array<std::string_view, kMaxCells> fields{};
    const std::size_t count = std::min(sentence.fieldCount(), kMaxCells);
    for (std::size_t i = 0; i < count; ++i) {
        fields[i] = sentence.field(i + 1);
    }
    return scan(std::span<const std::string_view>(fields.data(), count), format);
}

int FieldScanner::scan(std::span<const std::string_view> fields, std::string_view format)
{
    cells_.fill(FieldValue());
    count_ = 0;
    std::string_view body;
    bool repeat = false;
    Conversion last;
    if (!prepareFormat(format, body, repeat, last)) {
        return BadFormat;
    }
    fields = fields.first(std::min(fields.size(), kMaxCells));
    std::size_t index = 0;
    ItemCursor items(body);
    for (std::string_view item; items.next(item); ++index) {
        if (index == fields.size()) {
            const bool literalGoesOn = !isConversionItem(item) && !item.empty() && isAlnum(item[0]);
            return literalGoesOn ? fail() : finish(index);
        }
        if (convertItem(item, fields[index], cells_[index]) == Mismatch) {
            return fail();
        }
    }
    for (; repeat && index < fields.size(); ++index) {
        if (convert(last, fields[index], cells_[index]) == Mismatch) {
            return fail();
        }
    }
    return finish(index);
}

int FieldScanner::fail()
{
    cells_.fill(FieldValue());
    count_ = 0;
    return Mismatch;
}

int FieldScanner::finish(std::size_t count)
{
    count_ = count;
    return Converted;
}

const FieldValue& FieldScanner::cell(std::size_t index) const
{
    static const FieldValue empty;
    if (index == 0 || index > count_) {
        return empty;
    }
    return cells_[index - 1];
}

} // namespace zeb::messages
