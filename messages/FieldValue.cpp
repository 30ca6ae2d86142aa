#include "messages/FieldValue.h"

#include <cmath>
#include <limits>

namespace zeb::messages {

std::uint32_t FieldValue::makeTag(char type, unsigned width)
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(type)) << 24) | (width & 0xFFFFu);
}

FieldValue FieldValue::character(char value)
{
    FieldValue cell;
    cell.tag_ = makeTag('c', 8);
    cell.value_.character = value;
    return cell;
}

FieldValue FieldValue::real(double value, unsigned width)
{
    FieldValue cell;
    cell.tag_ = makeTag('f', width);
    cell.value_.real = value;
    return cell;
}

FieldValue FieldValue::signedInteger(std::int32_t value, unsigned width)
{
    FieldValue cell;
    cell.tag_ = makeTag('i', width);
    cell.value_.signedValue = value;
    return cell;
}

FieldValue FieldValue::unsignedInteger(std::uint32_t value, unsigned width)
{
    FieldValue cell;
    cell.tag_ = makeTag('u', width);
    cell.value_.unsignedValue = value;
    return cell;
}

FieldValue FieldValue::text(std::string_view value)
{
    FieldValue cell;
    cell.tag_ = makeTag('s', 0);
    cell.length_ = static_cast<std::uint32_t>(value.size());
    cell.value_.text = value.data();
    return cell;
}

std::int64_t FieldValue::asInteger() const
{
    switch (type()) {
    case 'c':
        return static_cast<unsigned char>(value_.character);
    case 'i':
        return value_.signedValue;
    case 'u':
        return value_.unsignedValue;
    case 'f': {
        // A plain cast of a real outside the target range is undefined behaviour.
        const double value = value_.real;
        if (std::isnan(value)) {
            return 0;
        }
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (value >= limit) {
            return std::numeric_limits<std::int64_t>::max();
        }
        if (value <= -limit) {
            return std::numeric_limits<std::int64_t>::min();
        }
        return static_cast<std::int64_t>(value);
    }
    default:
        return 0;
    }
}

double FieldValue::asDouble() const
{
    switch (type()) {
    case 'c':
        return static_cast<unsigned char>(value_.character);
    case 'i':
        return value_.signedValue;
    case 'u':
        return value_.unsignedValue;
    case 'f':
        return value_.real;
    default:
        return 0.0;
    }
}

char FieldValue::asCharacter() const
{
    switch (type()) {
    case 'c':
        return value_.character;
    case 's':
        return length_ == 0 ? '\0' : value_.text[0];
    default:
        return static_cast<char>(static_cast<std::uint64_t>(asInteger()) & 0xFFu);
    }
}

std::string_view FieldValue::asString() const
{
    if (type() != 's') {
        return {};
    }
    return {value_.text, length_};
}

} // namespace zeb::messages
