// Runs one pattern and input through both zeb::text::scan() and the C library's sscanf and reports any
// difference in the result or in a stored value. Shared by the scan tests and the scan fuzz target.
//
// sscanf gets a buffer per conversion that is larger than anything the conversion can write (a string
// conversion cannot produce more bytes than the input has), filled with a byte that does not occur in the
// input, so that what it wrote, and whether it wrote at all, can be told apart afterwards.
#pragma once

#include "text/Scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace zeb::text::oracle {

enum class Kind {
    SChar,
    UChar,
    Short,
    UShort,
    Int,
    UInt,
    Long,
    ULong,
    LongLong,
    ULongLong,
    Float,
    Double,
    LongDouble, // sscanf stores a long double, scan() a double
    Char, // %c into one char
    Chars, // %c with a width: no terminating NUL
    String // %s and %[
};

struct Slot
{
    Kind kind;
    std::size_t width = 0; // for Chars
};

struct Shape
{
    bool checkable = true;
    std::vector<Slot> slots; // one per conversion that stores, in order
};

constexpr std::size_t kMaxSlots = 32;

inline bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline Kind integerKind(const std::string& length, bool isSigned)
{
    if (length == "hh")
        return isSigned ? Kind::SChar : Kind::UChar;
    if (length == "h")
        return isSigned ? Kind::Short : Kind::UShort;
    if (length.empty() || length == "m")
        return isSigned ? Kind::Int : Kind::UInt;
    if (length == "ll" || length == "L" || length == "q")
        return isSigned ? Kind::LongLong : Kind::ULongLong;
    return isSigned ? Kind::Long : Kind::ULong;
}

// The conversions a pattern stores through, read independently of the scanner. Patterns this cannot
// give sscanf safe targets for (positional targets, %p, wide and allocating string conversions, more than
// maxSlots conversions, huge %c widths) are not checkable.
inline Shape analyse(std::string_view pattern, std::size_t maxSlots = kMaxSlots)
{
    Shape shape;
    pattern = pattern.substr(0, pattern.find('\0'));
    auto at = [&](std::size_t k) { return k < pattern.size() ? pattern[k] : '\0'; };
    auto uncheckable = [&] {
        shape.checkable = false;
        return shape;
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i++] != '%')
            continue;
        std::size_t j = i;
        while (isAsciiDigit(at(j)))
            ++j;
        if (j > i && at(j) == '$')
            return uncheckable();
        bool suppress = false;
        if (j == i) {
            for (; at(i) == '*' || at(i) == '\'' || at(i) == 'I'; ++i)
                suppress = suppress || at(i) == '*';
        }
        std::size_t width = 0;
        for (; isAsciiDigit(at(i)); ++i)
            width = std::min<std::size_t>(width * 10 + static_cast<std::size_t>(at(i) - '0'), 1u << 30);
        std::string length;
        if (at(i) == 'h' || at(i) == 'l') {
            length = at(i++);
            if (at(i) == length[0])
                length += at(i++);
        } else if (at(i) == 'L' || at(i) == 'q' || at(i) == 'j' || at(i) == 'z' || at(i) == 't') {
            length = at(i++);
        } else if (at(i) == 'm') {
            length = at(i++);
            if (at(i) == 'l')
                length += at(i++);
        }
        const char conversion = at(i);
        if (conversion == '\0')
            return shape;
        ++i;
        const bool narrow = length.empty() || length == "h" || length == "hh";
        const bool wide64 = length == "ll" || length == "L" || length == "q";
        // Floating conversions are recognised first; every other case below sets its own kind.
        Kind kind = narrow || length == "m" ? Kind::Float : wide64 ? Kind::LongDouble : Kind::Double;
        switch (std::string_view("fFeEgGaA").find(conversion) != std::string_view::npos ? 'f' : conversion) {
        case 'f':
            break;
        case '%':
            continue;
        case 'd':
        case 'i':
        case 'n':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            kind = integerKind(length, std::string_view("din").find(conversion) != std::string_view::npos);
            break;
        case 'c':
            if (!narrow || width > (1u << 16))
                return uncheckable();
            kind = width <= 1 ? Kind::Char : Kind::Chars;
            break;
        case 's':
            if (!narrow)
                return uncheckable();
            kind = Kind::String;
            break;
        case '[':
            if (!narrow)
                return uncheckable();
            if (at(i) == '^')
                ++i;
            if (at(i) == ']' || at(i) == '-')
                ++i;
            while (at(i) != '\0' && at(i) != ']')
                ++i;
            if (at(i) == '\0')
                return shape; // an unclosed set fails the scan here
            ++i;
            kind = Kind::String;
            break;
        case 'p':
        case 'C':
        case 'S':
            return uncheckable();
        default:
            return shape; // an unknown conversion fails the scan here
        }
        if (suppress)
            continue;
        shape.slots.push_back({kind, width});
        if (shape.slots.size() > maxSlots)
            return uncheckable();
    }
    return shape;
}

inline std::string escaped(std::string_view text, std::size_t limit = 120)
{
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (text.size() > limit)
        out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

// What scan() stores into: one number per numeric kind, in the order of Kind (a long double is
// read into a double), and one string.
struct Storage
{
    std::tuple<signed char, unsigned char, short, unsigned short, int, unsigned, long, unsigned long, long long,
               unsigned long long, float, double, double, char>
        numbers;
    std::string str;

    void fill(unsigned char sentinel)
    {
        std::apply([&](auto&... number) { (std::memset(&number, sentinel, sizeof number), ...); }, numbers);
        str.assign(1, static_cast<char>(sentinel));
    }

    // Calls `use` with the number a numeric kind stores into; does nothing for the string kinds.
    template <std::size_t I = 0, typename Use>
    void withNumber(Kind kind, Use&& use)
    {
        if constexpr (I < std::tuple_size_v<decltype(numbers)>) {
            if (static_cast<std::size_t>(kind) == I)
                return use(std::get<I>(numbers));
            withNumber<I + 1>(kind, use);
        }
    }

    ScanTarget target(Kind kind)
    {
        ScanTarget out = &str;
        withNumber(kind, [&](auto& number) { out = &number; });
        return out;
    }

    // The bytes of the number a numeric kind stores into.
    std::string_view bytes(Kind kind) const
    {
        std::string_view out;
        const_cast<Storage*>(this)->withNumber(kind, [&](const auto& number) {
            out = {reinterpret_cast<const char*>(&number), sizeof number};
        });
        return out;
    }
};

using SscanfFunction = int (*)(const char*, const char*, ...);

// The C library's own sscanf rather than a sanitizer's wrapper of it: the wrappers parse the pattern
// themselves to check the stores and abort on patterns the C library takes in its stride, such as one
// that ends in "%l".
inline SscanfFunction librarySscanf()
{
    static const SscanfFunction function = [] {
        void* libc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
        void* symbol = libc == nullptr ? nullptr : dlsym(libc, "__isoc99_sscanf");
        return symbol == nullptr ? SscanfFunction(&std::sscanf) : reinterpret_cast<SscanfFunction>(symbol);
    }();
    return function;
}

inline int callSscanf(const char* input, const char* pattern, const std::array<void*, kMaxSlots>& a)
{
    static_assert(kMaxSlots == 32);
    return librarySscanf()(input, pattern, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11],
                           a[12], a[13], a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22], a[23], a[24],
                           a[25], a[26], a[27], a[28], a[29], a[30], a[31]);
}

// A long double rounded once to double may differ from strtod's direct rounding by one unit in the last
// place (or be the NaN of the other sign convention only if the signs differ, which is a real difference).
inline bool sameAfterRounding(long double theirs, double ours)
{
    const auto rounded = static_cast<double>(theirs);
    if (std::isnan(rounded) || std::isnan(ours))
        return std::isnan(rounded) && std::isnan(ours) && std::signbit(rounded) == std::signbit(ours);
    return rounded == ours || std::nextafter(rounded, ours) == ours;
}

// Compares one slot; returns a description of the difference, or an empty string.
inline std::string compareSlot(const Slot& slot, const std::vector<unsigned char>& buffer, const Storage& ours,
                               unsigned char sentinel)
{
    const auto untouched = [&](std::size_t n) {
        return std::all_of(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n),
                           [&](unsigned char b) { return b == sentinel; });
    };
    const std::string marker(1, static_cast<char>(sentinel));
    const auto* raw = reinterpret_cast<const char*>(buffer.data());
    switch (slot.kind) {
    case Kind::String:
    case Kind::Chars: {
        const std::size_t n = slot.kind == Kind::String
            ? std::strlen(raw)
            : static_cast<std::size_t>(std::find(buffer.begin(), buffer.end(), sentinel) - buffer.begin());
        const std::string theirs = buffer[0] == sentinel ? marker : std::string(raw, n);
        if (theirs == ours.str)
            return {};
        return "sscanf \"" + escaped(theirs) + "\", scan \"" + escaped(ours.str) + "\"";
    }
    case Kind::LongDouble: {
        const std::string_view mine = ours.bytes(slot.kind);
        const bool mineUntouched
            = std::all_of(mine.begin(), mine.end(), [&](char b) { return static_cast<unsigned char>(b) == sentinel; });
        long double theirs = 0;
        std::memcpy(&theirs, raw, sizeof theirs);
        const double scanned = std::get<static_cast<std::size_t>(Kind::LongDouble)>(ours.numbers);
        if (untouched(10) ? mineUntouched : (!mineUntouched && sameAfterRounding(theirs, scanned)))
            return {};
        char text[96];
        std::snprintf(text, sizeof text, "sscanf %La, scan %a", theirs, scanned);
        return text;
    }
    default: {
        const std::string_view mine = ours.bytes(slot.kind);
        if (std::memcmp(raw, mine.data(), mine.size()) == 0)
            return {};
        return "sscanf bytes \"" + escaped(std::string_view(raw, mine.size())) + "\", scan bytes \"" + escaped(mine)
            + "\"";
    }
    }
}

struct Verdict
{
    bool checked = false; // false: the pattern (or input) was outside what the oracle can compare
    std::string difference; // empty when both agree
};

inline Verdict compare(std::string_view pattern, std::string_view input, std::size_t maxSlots = kMaxSlots)
{
    Verdict verdict;
    const Shape shape = analyse(pattern, std::min(maxSlots, kMaxSlots));
    if (!shape.checkable)
        return verdict;
    const std::string cInput(input.substr(0, input.find('\0')));
    const std::string cPattern(pattern.substr(0, pattern.find('\0')));

    // A byte sscanf cannot write: it writes only input bytes and NULs.
    std::array<bool, 256> present{};
    for (const char c : cInput)
        present[static_cast<unsigned char>(c)] = true;
    int sentinel = present[0xa5] ? -1 : 0xa5;
    for (int b = 1; b < 256 && sentinel < 0; ++b) {
        if (!present[static_cast<std::size_t>(b)])
            sentinel = b;
    }
    if (sentinel < 0)
        return verdict;
    const auto fill = static_cast<unsigned char>(sentinel);

    std::vector<std::vector<unsigned char>> buffers;
    std::array<void*, kMaxSlots> theirTargets{};
    std::vector<unsigned char> spare(64, 0);
    theirTargets.fill(spare.data());
    std::vector<Storage> storage(shape.slots.size());
    std::vector<ScanTarget> ourTargets;
    for (std::size_t k = 0; k < shape.slots.size(); ++k) {
        const std::size_t chars = shape.slots[k].kind == Kind::Chars ? shape.slots[k].width : 0;
        const std::size_t size = std::max<std::size_t>({64, cInput.size() + 2, chars + 2});
        buffers.emplace_back(size, fill);
        // Never written by sscanf; keeps a sanitizer's strlen of an unwritten buffer inside it.
        buffers.back().back() = 0;
        theirTargets[k] = buffers.back().data();
        storage[k].fill(fill);
        ourTargets.push_back(storage[k].target(shape.slots[k].kind));
    }

    const int theirs = callSscanf(cInput.c_str(), cPattern.c_str(), theirTargets);
    const int ours = scan(input, pattern, ourTargets);
    verdict.checked = true;
    const std::string where = "pattern \"" + escaped(pattern) + "\" input \"" + escaped(input) + "\": ";
    if (theirs != ours) {
        verdict.difference = where + "sscanf returned " + std::to_string(theirs) + ", scan " + std::to_string(ours);
        return verdict;
    }
    for (std::size_t k = 0; k < shape.slots.size(); ++k) {
        const std::string difference = compareSlot(shape.slots[k], buffers[k], storage[k], fill);
        if (!difference.empty()) {
            verdict.difference = where + "target " + std::to_string(k + 1) + ": " + difference;
            return verdict;
        }
    }
    return verdict;
}

} // namespace zeb::text::oracle
