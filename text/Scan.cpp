#include "text/Scan.h"

#include "text/CNumericScope.h"

#include <algorithm>
#include <bitset>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <type_traits>

namespace zeb::text {

// The length modifiers and the integer clamping below reproduce glibc on LP64 systems, where every
// 64-bit conversion goes through strtol/strtoul and long double has a wider mantissa than double.
static_assert(sizeof(long) == 8 && sizeof(long long) == 8 && sizeof(void*) == 8, "LP64 expected");

namespace {

// What the reader returns once the input is used up.
constexpr int kEnd = -1;

bool isSpace(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(int c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int toLower(int c)
{
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Value of c as a digit in base, or -1.
int digitValue(int c, int base)
{
    if (isDigit(c))
        return c - '0' < base ? c - '0' : -1;
    if (base != 16 || !isHexDigit(c))
        return -1;
    return toLower(c) - 'a' + 10;
}

enum class Length { None, Char, Short, Long, LongLong, IntMax, Size, PtrDiff };

struct Directive
{
    bool suppress = false;
    bool allocate = false; // 'm': the GNU allocating form, offered only for numbers (where it changes nothing)
    int width = -1; // -1: no width
    long position = 0; // n of "%n$", 0 for the next target in turn, -1 when n does not fit in an int
    Length length = Length::None;
    char conversion = '\0'; // '\0' when the pattern ends inside the conversion
};

enum class Outcome {
    Done,
    InputFailure, // the input ended where a character was needed
    MatchFailure, // the input does not fit the pattern
    Misuse // missing or mistyped target, or a conversion this library does not offer
};

// Reads a decimal number from the pattern as glibc does: a value that does not fit an int gives -1, which
// callers then treat like no number at all.
int readPatternInt(std::string_view pattern, std::size_t& i)
{
    int value = 0;
    for (; i < pattern.size() && isDigit(pattern[i]); ++i) {
        if (value < 0)
            continue;
        const int digit = pattern[i] - '0';
        value = value > (INT_MAX - digit) / 10 ? -1 : value * 10 + digit;
    }
    return value;
}

char patternAt(std::string_view pattern, std::size_t i)
{
    return i < pattern.size() ? pattern[i] : '\0';
}

// Reads the length modifier, if any. Only one is taken: "%hld" ends in an unknown conversion 'l'.
void parseLength(std::string_view pattern, std::size_t& i, Directive& directive)
{
    switch (patternAt(pattern, i)) {
    case 'h':
        ++i;
        directive.length = Length::Short;
        if (patternAt(pattern, i) == 'h') {
            ++i;
            directive.length = Length::Char;
        }
        break;
    case 'l':
        ++i;
        directive.length = Length::Long;
        if (patternAt(pattern, i) == 'l') {
            ++i;
            directive.length = Length::LongLong;
        }
        break;
    case 'L':
    case 'q':
        ++i;
        directive.length = Length::LongLong;
        break;
    case 'j':
        ++i;
        directive.length = Length::IntMax;
        break;
    case 'z':
        ++i;
        directive.length = Length::Size;
        break;
    case 't':
        ++i;
        directive.length = Length::PtrDiff;
        break;
    case 'm':
        ++i;
        directive.allocate = true;
        if (patternAt(pattern, i) == 'l') {
            ++i;
            directive.length = Length::Long;
        }
        break;
    default:
        break;
    }
}

// Parses a conversion from just after its '%' up to and including the conversion character.
Directive parseSpec(std::string_view pattern, std::size_t& i)
{
    Directive directive;
    bool haveWidth = false;
    if (isDigit(patternAt(pattern, i))) {
        const int number = readPatternInt(pattern, i);
        if (patternAt(pattern, i) == '$') {
            ++i;
            directive.position = number;
        } else {
            // It was the width; flags cannot follow a width.
            directive.width = number;
            haveWidth = true;
        }
    }
    if (!haveWidth) {
        for (char c = patternAt(pattern, i); c == '*' || c == '\'' || c == 'I'; c = patternAt(pattern, ++i)) {
            if (c == '*')
                directive.suppress = true;
        }
        if (isDigit(patternAt(pattern, i)))
            directive.width = readPatternInt(pattern, i);
    }
    if (directive.width == 0)
        directive.width = -1;

    parseLength(pattern, i, directive);
    directive.conversion = patternAt(pattern, i);
    if (directive.conversion != '\0')
        ++i;
    return directive;
}

// The members of a %[...] set, read from just after the '[' up to and including the closing ']'.
// Returns false when the set is not closed, which fails the conversion.
bool parseSet(std::string_view pattern, std::size_t& i, std::bitset<256>& members, bool& negated)
{
    negated = patternAt(pattern, i) == '^';
    if (negated)
        ++i;
    // A leading ']' or '-' is a member rather than the end of the set or a range.
    const auto first = static_cast<unsigned char>(patternAt(pattern, i));
    if (first == ']' || first == '-') {
        members.set(first);
        ++i;
    }
    for (;;) {
        const auto c = static_cast<unsigned char>(patternAt(pattern, i));
        if (c == '\0')
            return false;
        ++i;
        if (c == ']')
            return true;
        if (c != '-') {
            members.set(c);
            continue;
        }
        // "a-z" adds 'a' up to just before 'z', and 'z' comes in as the next member. A '-' at the end or
        // in a descending "z-a" is a plain member. The character before a '-' here always belongs to the
        // set: a '-' right after "[" or "[^" was taken above.
        const auto next = static_cast<unsigned char>(patternAt(pattern, i));
        const auto before = static_cast<unsigned char>(pattern[i - 2]);
        if (next == '\0' || next == ']' || before > next) {
            members.set(c);
            continue;
        }
        for (unsigned v = before; v < next; ++v)
            members.set(v);
    }
}

// Visits a target if it has type T and is not null.
template <typename T, typename Fn>
bool visitAs(const ScanTarget& target, Fn&& fn)
{
    T* const* p = std::get_if<T*>(&target);
    if (p == nullptr || *p == nullptr)
        return false;
    fn(*p);
    return true;
}

// Visits an integer target if it has the type C gives the conversion, e.g. long* for %ld.
template <typename Fn>
bool visitInteger(const ScanTarget& target, Length length, bool isSigned, Fn&& fn)
{
    switch (length) {
    case Length::None:
        return isSigned ? visitAs<int>(target, fn) : visitAs<unsigned>(target, fn);
    case Length::Char:
        return isSigned ? visitAs<signed char>(target, fn) : visitAs<unsigned char>(target, fn);
    case Length::Short:
        return isSigned ? visitAs<short>(target, fn) : visitAs<unsigned short>(target, fn);
    case Length::Long:
        return isSigned ? visitAs<long>(target, fn) : visitAs<unsigned long>(target, fn);
    case Length::LongLong:
        return isSigned ? visitAs<long long>(target, fn) : visitAs<unsigned long long>(target, fn);
    case Length::IntMax:
        return isSigned ? visitAs<std::intmax_t>(target, fn) : visitAs<std::uintmax_t>(target, fn);
    case Length::Size:
        return isSigned ? visitAs<std::make_signed_t<std::size_t>>(target, fn) : visitAs<std::size_t>(target, fn);
    case Length::PtrDiff:
        return isSigned ? visitAs<std::ptrdiff_t>(target, fn)
                        : visitAs<std::make_unsigned_t<std::ptrdiff_t>>(target, fn);
    }
    return false;
}

// Stores the low bits of value, as the C library's cast to the target type does.
auto integerStore(std::uint64_t value)
{
    return [value](auto* p) { *p = static_cast<std::remove_pointer_t<decltype(p)>>(value); };
}

template <typename T>
bool holds(const ScanTarget& target)
{
    return std::holds_alternative<T*>(target) && std::get<T*>(target) != nullptr;
}

// h and hh leave %f at float and %c, %s, %[ at char; every longer modifier means double for %f (there
// is no long double target) and wide characters for the others.
bool isNarrow(Length length)
{
    return length == Length::None || length == Length::Char || length == Length::Short;
}

bool isSigned(char conversion)
{
    return conversion == 'd' || conversion == 'i' || conversion == 'n';
}

bool isKnownConversion(char conversion)
{
    return conversion != '\0' && std::string_view("%ndiuoxXfFeEgGaAcs[pCS").find(conversion) != std::string_view::npos;
}

// Pointers and wide characters have no target here, and %m on strings wants a char** to fill.
bool isOffered(const Directive& directive)
{
    switch (directive.conversion) {
    case 'p':
    case 'C':
    case 'S':
        return false;
    case 'c':
    case 's':
    case '[':
        return isNarrow(directive.length) && !directive.allocate;
    default:
        return true;
    }
}

// Whether a target has the type C gives the conversion, e.g. long* for %ld.
bool fits(const Directive& directive, const ScanTarget& target)
{
    switch (directive.conversion) {
    case 'c':
        // Without a width %c reads one character, and so it does with a width too large to read.
        return holds<std::string>(target) || (directive.width <= 1 && holds<char>(target));
    case 's':
    case '[':
        return holds<std::string>(target);
    case 'd':
    case 'i':
    case 'n':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        return visitInteger(target, directive.length, isSigned(directive.conversion), [](auto*) {});
    default:
        return isNarrow(directive.length) ? holds<float>(target) : holds<double>(target);
    }
}

// strtol and strtoul as sscanf applies them, before it cuts the result to the target's width: clamped at
// the limits of long, and an unsigned conversion of a negative number wraps around.
std::uint64_t clampLikeStrtol(std::uint64_t magnitude, bool negative, bool overflow, bool isSigned)
{
    constexpr auto kMax = static_cast<std::uint64_t>(LONG_MAX);
    if (!isSigned)
        return overflow ? UINT64_MAX : (negative ? 0 - magnitude : magnitude);
    if (!negative)
        return overflow || magnitude > kMax ? kMax : magnitude;
    return overflow || magnitude > kMax + 1 ? kMax + 1 : 0 - magnitude;
}

// In the functions below, out is null for a conversion that does not store (%*d).
class Scanner
{
public:
    Scanner(std::string_view input, std::string_view pattern, std::span<const ScanTarget> targets)
        : input_(input.substr(0, input.find('\0')))
        , pattern_(pattern.substr(0, pattern.find('\0')))
        , targets_(targets)
    {
    }

    int run();

private:
    int get() { return pos_ < input_.size() ? static_cast<unsigned char>(input_[pos_++]) : kEnd; }
    void unget(int c)
    {
        if (c != kEnd)
            --pos_;
    }
    void skipSpace();
    const ScanTarget* target(const Directive& directive);

    Outcome directive(std::size_t& i);
    Outcome convert(const Directive& directive, const ScanTarget* out, std::size_t& i);
    Outcome literal(unsigned char expected);
    Outcome percent();
    Outcome count(const Directive& directive, const ScanTarget* out);
    Outcome integer(const Directive& directive, const ScanTarget* out, int base);
    Outcome floating(const Directive& directive, const ScanTarget* out);
    bool readFloatWord(int c, int& width);
    bool readFloatNumber(int c, int& width);
    bool expectWord(const char* rest, int& width);
    Outcome convertFloat(const Directive& directive, const ScanTarget* out, std::size_t begin);
    Outcome characters(const Directive& directive, const ScanTarget* out);
    Outcome string(const Directive& directive, const ScanTarget* out);
    Outcome set(const Directive& directive, const ScanTarget* out, std::size_t& i);
    Outcome storeString(const ScanTarget* out, std::size_t length);

    std::string_view input_;
    std::string_view pattern_;
    std::span<const ScanTarget> targets_;
    std::size_t pos_ = 0;
    std::size_t nextTarget_ = 0;
    int stored_ = 0;
    bool pendingSpace_ = false; // white space seen in the pattern, not yet matched in the input
};

int Scanner::run()
{
    std::size_t i = 0;
    while (i < pattern_.size()) {
        Outcome outcome = Outcome::Done;
        const auto c = static_cast<unsigned char>(pattern_[i++]);
        if (c == '%') {
            outcome = directive(i);
        } else if (isSpace(c)) {
            // Matched lazily by whatever comes next, so that %c, %[ and %n after white space see the
            // input after the white space but do not skip it on their own.
            pendingSpace_ = true;
        } else {
            outcome = literal(c);
        }
        if (outcome == Outcome::InputFailure)
            return stored_ == 0 ? kScanEof : stored_;
        if (outcome != Outcome::Done)
            return stored_;
    }
    return stored_;
}

void Scanner::skipSpace()
{
    while (pos_ < input_.size() && isSpace(static_cast<unsigned char>(input_[pos_])))
        ++pos_;
    pendingSpace_ = false;
}

const ScanTarget* Scanner::target(const Directive& directive)
{
    if (directive.position != 0) {
        // Negative: a position too large to read, which no target list can satisfy.
        if (directive.position < 0 || static_cast<std::size_t>(directive.position) > targets_.size())
            return nullptr;
        return &targets_[static_cast<std::size_t>(directive.position) - 1];
    }
    if (nextTarget_ >= targets_.size())
        return nullptr;
    return &targets_[nextTarget_++];
}

Outcome Scanner::directive(std::size_t& i)
{
    const Directive directive = parseSpec(pattern_, i);
    if (!isKnownConversion(directive.conversion))
        return Outcome::MatchFailure;
    if (!isOffered(directive))
        return Outcome::Misuse;
    const ScanTarget* out = nullptr;
    if (!directive.suppress && directive.conversion != '%') {
        out = target(directive);
        if (out == nullptr || !fits(directive, *out))
            return Outcome::Misuse;
    }
    const char conversion = directive.conversion;
    if (pendingSpace_ || (conversion != '[' && conversion != 'c' && conversion != 'n'))
        skipSpace();
    return convert(directive, out, i);
}

Outcome Scanner::convert(const Directive& directive, const ScanTarget* out, std::size_t& i)
{
    switch (directive.conversion) {
    case '%':
        return percent();
    case 'n':
        return count(directive, out);
    case 'd':
    case 'u':
        return integer(directive, out, 10);
    case 'i':
        return integer(directive, out, 0);
    case 'o':
        return integer(directive, out, 8);
    case 'x':
    case 'X':
        return integer(directive, out, 16);
    case 'c':
        return characters(directive, out);
    case 's':
        return string(directive, out);
    case '[':
        return set(directive, out, i);
    default:
        return floating(directive, out);
    }
}

Outcome Scanner::literal(unsigned char expected)
{
    int c = get();
    if (c == kEnd)
        return Outcome::InputFailure;
    if (pendingSpace_) {
        while (isSpace(c)) {
            c = get();
            if (c == kEnd)
                return Outcome::InputFailure;
        }
        pendingSpace_ = false;
    }
    if (c != expected) {
        unget(c);
        return Outcome::MatchFailure;
    }
    return Outcome::Done;
}

Outcome Scanner::percent()
{
    const int c = get();
    if (c == kEnd)
        return Outcome::InputFailure;
    if (c != '%') {
        unget(c);
        return Outcome::MatchFailure;
    }
    return Outcome::Done;
}

Outcome Scanner::count(const Directive& directive, const ScanTarget* out)
{
    if (out != nullptr)
        visitInteger(*out, directive.length, true, integerStore(pos_));
    return Outcome::Done;
}

Outcome Scanner::integer(const Directive& directive, const ScanTarget* out, int base)
{
    int width = directive.width;
    int c = get();
    if (c == kEnd)
        return Outcome::InputFailure;
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        if (width > 0)
            --width;
        c = get();
    }

    // A leading 0 is a digit in its own right, so "0x" with nothing after it still reads as 0, with the
    // 'x' consumed.
    bool anyDigit = false;
    if (width != 0 && c == '0') {
        if (width > 0)
            --width;
        anyDigit = true;
        c = get();
        if (width != 0 && toLower(c) == 'x') {
            if (base == 0)
                base = 16;
            if (base == 16) {
                if (width > 0)
                    --width;
                c = get();
            }
        } else if (base == 0) {
            base = 8;
        }
    }
    if (base == 0)
        base = 10;

    const auto radix = static_cast<unsigned>(base);
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; c != kEnd && width != 0; c = get()) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            break;
        anyDigit = true;
        overflow = overflow || magnitude > (UINT64_MAX - static_cast<unsigned>(digit)) / radix;
        magnitude = magnitude * radix + static_cast<unsigned>(digit);
        if (width > 0)
            --width;
    }
    unget(c);
    if (!anyDigit)
        return Outcome::MatchFailure;
    if (out == nullptr)
        return Outcome::Done;
    const bool isSignedConversion = isSigned(directive.conversion);
    visitInteger(*out, directive.length, isSignedConversion,
                 integerStore(clampLikeStrtol(magnitude, negative, overflow, isSignedConversion)));
    ++stored_;
    return Outcome::Done;
}

Outcome Scanner::floating(const Directive& directive, const ScanTarget* out)
{
    // The width counts every character read, including the one that ends the number, which is why it
    // is decremented right after each read rather than after each accepted character.
    int width = directive.width;
    const std::size_t begin = pos_;
    int c = get();
    if (width > 0)
        --width;
    if (c == kEnd)
        return Outcome::InputFailure;
    if (c == '-' || c == '+') {
        // A sign alone is a mismatch, not the end of the input.
        if (width == 0)
            return Outcome::MatchFailure;
        c = get();
        if (c == kEnd)
            return Outcome::MatchFailure;
        if (width > 0)
            --width;
    }
    const bool word = toLower(c) == 'n' || toLower(c) == 'i';
    if (!(word ? readFloatWord(c, width) : readFloatNumber(c, width)))
        return Outcome::MatchFailure;
    return convertFloat(directive, out, begin);
}

// "nan", "inf" or "infinity", any case, from its first letter c.
bool Scanner::readFloatWord(int c, int& width)
{
    if (toLower(c) == 'n')
        return expectWord("an", width);
    if (!expectWord("nf", width))
        return false;
    if (width == 0)
        return true;
    // Past "inf", an 'i' commits to "infinity": "infinit" fails as a whole.
    c = get();
    if (toLower(c) != 'i') {
        unget(c);
        return true;
    }
    if (width > 0)
        --width;
    return expectWord("nity", width);
}

bool Scanner::expectWord(const char* rest, int& width)
{
    for (; *rest != '\0'; ++rest) {
        if (width == 0)
            return false;
        const int c = get();
        if (c == kEnd || toLower(c) != *rest)
            return false;
        if (width > 0)
            --width;
    }
    return true;
}

// Takes characters from c on while they can still belong to a decimal or hexadecimal number. An exponent
// without digits ("1e", "1e+") stays consumed; strtod later reads the number in front of it.
bool Scanner::readFloatNumber(int c, int& width)
{
    const std::size_t begin = pos_ - 1;
    int exponentChar = 'e';
    bool hex = false;
    bool gotDigit = false;
    bool gotDot = false;
    bool gotExponent = false;
    bool afterExponentChar = false;
    if (width != 0 && c == '0') {
        c = get();
        if (width > 0)
            --width;
        if (width != 0 && toLower(c) == 'x') {
            hex = true;
            exponentChar = 'p';
            c = get();
            if (width > 0)
                --width;
        } else {
            gotDigit = true;
        }
    }
    for (;;) {
        const bool exponentSign = afterExponentChar && (c == '-' || c == '+');
        afterExponentChar = false;
        if (isDigit(c) || (hex && !gotExponent && isHexDigit(c))) {
            gotDigit = true;
        } else if (gotDigit && !gotExponent && toLower(c) == exponentChar) {
            // No decimal point after the exponent.
            gotExponent = gotDot = afterExponentChar = true;
        } else if (!gotDot && c == '.') {
            gotDot = true;
        } else if (!exponentSign) {
            unget(c);
            break;
        }
        if (width == 0)
            break;
        c = get();
        if (c == kEnd)
            break;
        if (width > 0)
            --width;
    }
    // Nothing taken, or a bare "0x" prefix, is no number.
    const std::size_t length = pos_ - begin;
    return length > 0 && !(hex && length == 2);
}

Outcome Scanner::convertFloat(const Directive& directive, const ScanTarget* out, std::size_t begin)
{
    // strtod needs a terminated copy: the number may be followed by characters it would otherwise take,
    // e.g. when a width stopped the read. Real numbers fit the local buffer.
    const std::string_view text = input_.substr(begin, pos_ - begin);
    char local[128];
    std::string heap;
    char* copy = local;
    if (text.size() >= sizeof local) {
        heap.assign(text);
        copy = heap.data();
    } else {
        std::memcpy(local, text.data(), text.size());
        local[text.size()] = '\0';
    }

    char* end = nullptr;
    if (out == nullptr || !isNarrow(directive.length)) {
        const double value = strtod_l(copy, &end, cLocale());
        if (end == copy)
            return Outcome::MatchFailure;
        if (out != nullptr)
            *std::get<double*>(*out) = value;
    } else {
        const float value = strtof_l(copy, &end, cLocale());
        if (end == copy)
            return Outcome::MatchFailure;
        *std::get<float*>(*out) = value;
    }
    if (out != nullptr)
        ++stored_;
    return Outcome::Done;
}

Outcome Scanner::characters(const Directive& directive, const ScanTarget* out)
{
    if (pos_ >= input_.size())
        return Outcome::InputFailure;
    // No width (or one too large to read) means one character. A short input is not a failure: %5c takes
    // what there is.
    const std::size_t width = directive.width < 0 ? 1 : static_cast<std::size_t>(directive.width);
    return storeString(out, std::min(width, input_.size() - pos_));
}

Outcome Scanner::string(const Directive& directive, const ScanTarget* out)
{
    if (pos_ >= input_.size())
        return Outcome::InputFailure;
    const std::size_t limit = directive.width < 0 ? input_.size() : static_cast<std::size_t>(directive.width);
    std::size_t length = 0;
    while (length < limit && pos_ + length < input_.size()
           && !isSpace(static_cast<unsigned char>(input_[pos_ + length])))
        ++length;
    return storeString(out, length);
}

Outcome Scanner::set(const Directive& directive, const ScanTarget* out, std::size_t& i)
{
    // The set is read before the input, so an unclosed one fails even on an empty input.
    std::bitset<256> members;
    bool negated = false;
    if (!parseSet(pattern_, i, members, negated))
        return Outcome::MatchFailure;
    if (pos_ >= input_.size())
        return Outcome::InputFailure;

    // Without a width the C library stops at INT_MAX characters.
    const std::size_t limit = directive.width < 0 ? INT_MAX : static_cast<std::size_t>(directive.width);
    std::size_t length = 0;
    while (length < limit && pos_ + length < input_.size()
           && members.test(static_cast<unsigned char>(input_[pos_ + length])) != negated)
        ++length;
    if (length == 0)
        return Outcome::MatchFailure;
    return storeString(out, length);
}

Outcome Scanner::storeString(const ScanTarget* out, std::size_t length)
{
    const std::string_view text = input_.substr(pos_, length);
    pos_ += length;
    if (out == nullptr)
        return Outcome::Done;
    if (std::string* const* s = std::get_if<std::string*>(out))
        (*s)->assign(text);
    else
        *std::get<char*>(*out) = text.front();
    ++stored_;
    return Outcome::Done;
}

} // namespace

int scan(std::string_view input, std::string_view pattern, std::span<const ScanTarget> targets)
{
    return Scanner(input, pattern, targets).run();
}

} // namespace zeb::text
