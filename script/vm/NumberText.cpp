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

std::string NumberText::number(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char text[64];
    const auto done = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, done.ptr);
}

} // namespace zeb::script::vm
