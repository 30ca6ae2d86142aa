#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::messages {

// One converted sentence field, 16 bytes: a tag whose high byte is the type letter ('c', 'f', 'i', 'u',
// 's') and whose low 16 bits are the width in bits, then the value. A tag of 0 is an empty cell (the
// field was absent).
//
// A string cell does not own its text: it points into the parsed sentence it came from and is valid
// only as long as that sentence is.
class FieldValue
{
public:
    FieldValue() = default;

    static FieldValue character(char value);
    static FieldValue real(double value, unsigned width);
    static FieldValue signedInteger(std::int32_t value, unsigned width);
    static FieldValue unsignedInteger(std::uint32_t value, unsigned width);
    static FieldValue text(std::string_view value);

    std::uint32_t tag() const { return tag_; }
    // The type letter, or 0 for an empty cell.
    char type() const { return static_cast<char>(tag_ >> 24); }
    unsigned width() const { return tag_ & 0xFFFFu; }
    bool isEmpty() const { return tag_ == 0; }

    // A character gives its code, a real is truncated toward zero (saturating at the limits, NaN gives 0),
    // integers come as they are. Strings and empty cells give 0.
    std::int64_t asInteger() const;
    // Exact for every stored type; strings and empty cells give 0.
    double asDouble() const;
    // A character as it is; numbers give the character whose code is their integer value (low 8 bits);
    // a string gives its first character; an empty cell gives 0.
    char asCharacter() const;
    // The text of a string cell; empty for every other type.
    std::string_view asString() const;

private:
    static std::uint32_t makeTag(char type, unsigned width);

    std::uint32_t tag_ = 0;
    std::uint32_t length_ = 0; // string cells only
    union
    {
        char character;
        std::int32_t signedValue;
        std::uint32_t unsignedValue;
        double real;
        const char* text;
    } value_{.real = 0.0};
};

static_assert(sizeof(FieldValue) == 16);

} // namespace zeb::messages
