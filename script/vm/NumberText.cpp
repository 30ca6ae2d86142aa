#include "script/vm/NumberText.h"

#include <charconv>
#include <cmath>

namespace zeb::script::vm {

std::string NumberText::integer(std::int32_t value)
{
    char text[16];
    const auto done = std::to_chars(text, text + sizeof text, value);
    return std::string(text, done.ptr);
}

namespace {

std::string formatted(double value, std::chars_format format)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char text[400]; // the largest double has 309 digits before the point
    const auto done = std::to_chars(text, text + sizeof text, value, format, 6);
    return std::string(text, done.ptr);
}

} // namespace

std::string NumberText::number(double value)
{
    return formatted(value, std::chars_format::general);
}

std::string NumberText::fixed(double value)
{
    return formatted(value, std::chars_format::fixed);
}

} // namespace zeb::script::vm
