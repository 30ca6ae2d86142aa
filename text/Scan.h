// scanf-style parsing into std::string and numbers, for the text protocols and files the workbench reads.
//
// Patterns are the ones the protocol code already uses, e.g. "$GPGSV,%u,%u,%u%[^*\r\n]" or
// "/dev/serial/com%u,%u,%u,%lf,%c", and scan() gives exactly what glibc's sscanf gives for them in the C
// locale: the same return value and the same stored values. The differences are on the storage side only:
// %s, %[...] and %c with a width fill a std::string, so no input can overrun a buffer, and the input is a
// string_view rather than a C string.
//
// Input and pattern
//   Each ends at its first NUL byte or at the end of the view, whichever comes first, as a C string would
//   for sscanf. The process locale is ignored: white space is the six ASCII white-space characters, the
//   decimal point is '.', and bytes 0x80-0xFF are plain characters that only match themselves.
//
// Directives
//   White space in the pattern matches any amount of white space in the input, including none. Any other
//   character outside a conversion must match itself. Conversions are
//       %[n$][*]['][I][width][length]conversion
//   with length hh, h, l, ll, L, q, j, z or t and conversion one of
//       d i u o x X      integers; %i and %x take a 0x prefix, %i a leading 0 for octal
//       f e g a F E G A  floating point, including inf, infinity, nan and hexadecimal numbers
//       c s [set] [^set] characters; "]" first in a set is a member, "a-z" is a range
//       n                stores how many input bytes were read so far; does not count in the result
//       %                matches "%"
//   "*" reads without storing (and without taking a target). "'" and "I" change nothing in the C
//   locale and are accepted and ignored, as is "m" before a number conversion. "n$" takes the n-th
//   target instead of the next one. A width of 0, or one too large for an int, counts as no width.
//
// Quirks kept from glibc, because the same patterns must read the same fields
//   - "0x" with no hex digit after it reads as 0 for %x and %i, and the 'x' is consumed.
//   - An exponent without digits is consumed: "%lf%s" of "1e+x" stores 1.0 and "x".
//   - After "inf" an 'i' commits to "infinity": "infinit" is a matching failure, not "inf".
//   - A sign with nothing after it, like a lone ".", is a matching failure (0), not the end of the input.
//   - %5c on a shorter input stores what there is and counts.
//   - In a set, a '-' that ends it or sits in a descending range ("z-a") is a member of its own.
//
// Targets
//   Every conversion that stores takes the next target, which must have the type C gives it:
//       %d %i %n   int*, or signed char* (hh), short* (h), long* (l, z, j, t), long long* (ll, L, q)
//       %u %o %x   unsigned*, or unsigned char* (hh), unsigned short* (h), unsigned long* (l, z, j, t),
//                  unsigned long long* (ll, L, q)
//       %f ...     float*, double* (l), and also double* for L, ll and q: there is no long double target,
//                  so %Lf stores what %lf would
//       %c         char* (no width, or width 1) or std::string* (any width)
//       %s %[      std::string*
//   Integers follow glibc exactly: the text is converted with strtol/strtoul semantics (64-bit, clamped at
//   the limits, a sign accepted by the unsigned conversions) and the result is then cut to the target's
//   width, so "%d" of "4294967296" stores 0 and "%u" of "-1" stores 4294967295.
//   A missing target, a target of the wrong type (or a null one), and the conversions this library does
//   not offer (%p, the wide %lc %ls %l[ %C %S, and the allocating %m on %c %s %[, even with "*") are
//   programming errors: the scan stops before that conversion reads anything and returns the number of
//   values stored so far.
//
// Result
//   The number of values stored; %n and conversions with "*" do not count. kScanEof when the input runs
//   out (or has only white space left) where the pattern still needs a character, and nothing has been
//   stored yet. A scan that stops early still returns, and keeps, what it stored before; targets of
//   conversions that did not happen are left alone.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace zeb::text {

constexpr int kScanEof = -1;

// Where one conversion stores its value.
using ScanTarget = std::variant<int*, unsigned*, long*, unsigned long*, long long*, unsigned long long*, short*,
                                unsigned short*, signed char*, unsigned char*, double*, float*, char*, std::string*>;

// Parses input as glibc's sscanf(input, pattern, ...) would, storing into targets in order.
int scan(std::string_view input, std::string_view pattern, std::span<const ScanTarget> targets);

// scan(input, pattern, &a, &b, ...) with the targets given directly; a pointer type that no conversion
// can use does not compile.
template <typename... T>
int scan(std::string_view input, std::string_view pattern, T*... outs)
{
    const std::array<ScanTarget, sizeof...(T)> targets{ScanTarget(outs)...};
    return scan(input, pattern, std::span<const ScanTarget>(targets));
}

} // namespace zeb::text
