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
#include <type_traits>
#include <variant>
#include <vector>

namespace zeb::text::oracle {

// One conversion that stores. `type` is a null pointer of the type scan() stores through; a %c with a
// width stores `width` characters into a string, and a long double conversion stores a long double for
// sscanf where scan() stores a double.
struct Slot
{
    ScanTarget type;
    bool longDouble = false;
    std::size_t width = 0;
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

template <typename T>
ScanTarget typeOf()
{
    return static_cast<T*>(nullptr);
}

template <typename Signed, typename Unsigned>
ScanTarget integerOf(bool isSigned)
{
    return isSigned ? typeOf<Signed>() : typeOf<Unsigned>();
}

inline ScanTarget integerType(const std::string& length, bool isSigned)
{
    if (length == "hh")
        return integerOf<signed char, unsigned char>(isSigned);
    if (length == "h")
        return integerOf<short, unsigned short>(isSigned);
    if (length.empty() || length == "m")
        return integerOf<int, unsigned>(isSigned);
    if (length == "ll" || length == "L" || length == "q")
        return integerOf<long long, unsigned long long>(isSigned);
    return integerOf<long, unsigned long>(isSigned);
}

// The conversions a pattern stores through, read independently of the scanner. Patterns this cannot
// give sscanf safe targets for (positional targets, %p, wide and allocating string conversions, more than
// maxSlots conversions, huge %c widths) are not checkable.
inline Shape analyse(std::string_view pattern, std::size_t maxSlots = kMaxSlots)
{
    Shape shape;
    pattern = pattern.substr(0, pattern.find('\0'));
    const auto at = [&](std::size_t k) { return k < pattern.size() ? pattern[k] : '\0'; };
    const auto in = [](char c, std::string_view set) { return c != '\0' && set.find(c) != std::string_view::npos; };
    const auto uncheckable = [&] {
        shape.checkable = false;
        return shape;
    };
    for (std::size_t i = 0; (i = pattern.find('%', i)) != std::string_view::npos;) {
        std::size_t j = ++i;
        while (isAsciiDigit(at(j)))
            ++j;
        if (j > i && at(j) == '$')
            return uncheckable();
        // Flags only come before a width.
        const bool flags = j == i;
        bool suppress = false;
        for (; flags && in(at(i), "*'I"); ++i)
            suppress = suppress || at(i) == '*';
        std::size_t width = 0;
        for (; isAsciiDigit(at(i)); ++i)
            width = std::min<std::size_t>(width * 10 + static_cast<std::size_t>(at(i) - '0'), 1u << 30);
        std::string length;
        if (in(at(i), "hlLqjztm"))
            length = at(i++);
        if (((length == "h" || length == "l") && at(i) == length[0]) || (length == "m" && at(i) == 'l'))
            length += at(i++);
        const char conversion = at(i);
        if (conversion == '\0')
            return shape;
        ++i;
        if (conversion == '%')
            continue;
        const bool narrow = length.empty() || length == "h" || length == "hh";
        Slot slot{typeOf<std::string>()};
        if (in(conversion, "fFeEgGaA"))
            slot = {narrow || length == "m" ? typeOf<float>() : typeOf<double>(),
                    length == "ll" || length == "L" || length == "q"};
        else if (in(conversion, "diouxXn"))
            slot = {integerType(length, in(conversion, "din"))};
        else if (!in(conversion, "cs[") || !narrow || (conversion == 'c' && width > (1u << 16)))
            return in(conversion, "cs[pCS") ? uncheckable() : shape; // else an unknown conversion ends the scan
        else if (conversion == 'c')
            slot = width <= 1 ? Slot{typeOf<char>()} : Slot{typeOf<std::string>(), false, width};
        if (conversion == '[') {
            i += at(i) == '^' ? 1 : 0;
            i += at(i) == ']' || at(i) == '-' ? 1 : 0;
            i = pattern.find(']', i);
            if (i == std::string_view::npos)
                return shape; // an unclosed set fails the scan here
            ++i;
        }
        if (!suppress)
            shape.slots.push_back(slot);
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

// What one conversion stored on each side, both filled beforehand with a byte neither can write.
struct Stores
{
    std::vector<unsigned char> theirs;
    alignas(16) std::array<unsigned char, 16> ours;
    std::string ourText;
};

inline bool untouched(const unsigned char* bytes, std::size_t n, unsigned char sentinel)
{
    return std::all_of(bytes, bytes + n, [&](unsigned char b) { return b == sentinel; });
}

// Compares one slot; returns a description of the difference, or an empty string.
inline std::string compareSlot(const Slot& slot, const Stores& stores, unsigned char sentinel)
{
    const auto* raw = reinterpret_cast<const char*>(stores.theirs.data());
    if (std::holds_alternative<std::string*>(slot.type)) {
        const auto end = slot.width == 0 ? stores.theirs.begin() + static_cast<std::ptrdiff_t>(std::strlen(raw))
                                         : std::find(stores.theirs.begin(), stores.theirs.end(), sentinel);
        const std::string theirs = stores.theirs[0] == sentinel ? std::string(1, static_cast<char>(sentinel))
                                                                : std::string(stores.theirs.begin(), end);
        if (theirs == stores.ourText)
            return {};
        return "sscanf \"" + escaped(theirs) + "\", scan \"" + escaped(stores.ourText) + "\"";
    }
    if (slot.longDouble) {
        long double theirs = 0;
        double ours = 0;
        std::memcpy(&theirs, raw, sizeof theirs);
        std::memcpy(&ours, stores.ours.data(), sizeof ours);
        const bool oursUntouched = untouched(stores.ours.data(), sizeof ours, sentinel);
        if (untouched(stores.theirs.data(), 10, sentinel) ? oursUntouched
                                                          : (!oursUntouched && sameAfterRounding(theirs, ours)))
            return {};
        char text[96];
        std::snprintf(text, sizeof text, "sscanf %La, scan %a", theirs, ours);
        return text;
    }
    const std::size_t size = std::visit([](auto* type) { return sizeof *type; }, slot.type);
    if (std::memcmp(raw, stores.ours.data(), size) == 0)
        return {};
    return "sscanf bytes \"" + escaped(std::string_view(raw, size)) + "\", scan bytes \""
        + escaped(std::string_view(reinterpret_cast<const char*>(stores.ours.data()), size)) + "\"";
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

    // A byte sscanf cannot write: it writes only input bytes and NULs. 0xa5 first, then 1 to 255.
    auto fill = static_cast<unsigned char>(0xa5);
    for (int tries = 0; tries < 255 && cInput.find(static_cast<char>(fill)) != std::string::npos; ++tries)
        fill = static_cast<unsigned char>(fill % 255 + 1);
    if (cInput.find(static_cast<char>(fill)) != std::string::npos)
        return verdict;

    std::vector<Stores> stores(shape.slots.size());
    std::array<void*, kMaxSlots> theirTargets{};
    std::vector<unsigned char> spare(64, 0);
    theirTargets.fill(spare.data());
    std::vector<ScanTarget> ourTargets;
    for (std::size_t k = 0; k < shape.slots.size(); ++k) {
        Stores& slot = stores[k];
        slot.theirs.assign(std::max<std::size_t>({64, cInput.size() + 2, shape.slots[k].width + 2}), fill);
        // Never written by sscanf; keeps a sanitizer's strlen of an unwritten buffer inside it.
        slot.theirs.back() = 0;
        theirTargets[k] = slot.theirs.data();
        slot.ours.fill(fill);
        slot.ourText.assign(1, static_cast<char>(fill));
        ourTargets.push_back(std::visit(
            [&](auto* type) -> ScanTarget {
                using T = std::remove_pointer_t<decltype(type)>;
                if constexpr (std::is_same_v<T, std::string>)
                    return &slot.ourText;
                else
                    return reinterpret_cast<T*>(slot.ours.data());
            },
            shape.slots[k].type));
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
        const std::string difference = compareSlot(shape.slots[k], stores[k], fill);
        if (!difference.empty()) {
            verdict.difference = where + "target " + std::to_string(k + 1) + ": " + difference;
            return verdict;
        }
    }
    return verdict;
}

} // namespace zeb::text::oracle
