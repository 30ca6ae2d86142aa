#pragma once

#include "messages/FieldValue.h"
#include "messages/SentenceParser.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace zeb::messages {

namespace field_scan_result {
constexpr int Converted = 0;
constexpr int BadFormat = 1;
constexpr int Mismatch = 6; // a field does not convert, is out of range, or a literal differs
constexpr int EmptyField = 24; // a converter's answer for an absent field; the cell stays empty
} // namespace field_scan_result

// Converts the data fields of a parsed sentence into typed cells by a format such as
// "%f64,%f64,T,%f64,%f64,%f64,%u32,%c08".
//
// The format is a comma-separated list of items, matched against the fields in order:
//   literal      the field must equal it exactly; stored as a string cell
//   conversion   "%", flags "+"/"-", digits and ".", an optional "l", a type letter, an optional width in
//                bits and, for integers, a base suffix "b", "d" or "x":
//                  c   one character (width 8)
//                  f   real, width 32 or 64 (default 64 with "l", else 32)
//                  i u signed / unsigned integer, width 8, 16 or 32 (default 32), decimal unless suffixed
//                  s   the field as it stands
//                  L   latitude ddmm.mmmm, G longitude dddmm.mmmm, both stored as written (a real)
//                  H   a real without range check
//                  T   time hhmmss or hhmmss.s(s), stored as a string
//   "*"          at the very end (alone or right after the last item): the last conversion is applied
//                again to every remaining field.
// An absent field leaves its cell empty. Fields beyond the format are ignored. When the fields run out
// while the format still has items, the scan ends with Converted, unless the next item is a literal
// beginning with a letter or digit, which is a Mismatch.
//
// The whole format is checked before any field is looked at, so a bad format is reported whatever the
// sentence holds. On any result but Converted every cell is empty. String cells point into the fields'
// text (the parser), not into the scanner.
class FieldScanner
{
public:
    static constexpr std::size_t kMaxCells = SentenceParser::kMaxFields;

    int scan(const SentenceParser& sentence, std::string_view format);
    // Fields beyond kMaxCells are not looked at.
    int scan(std::span<const std::string_view> fields, std::string_view format);

    // Cells for the fields the scan went through (field 1 = cell 1).
    std::size_t cellCount() const { return count_; }
    // Cell 1 is that of field 1. Out of range gives an empty cell.
    const FieldValue& cell(std::size_t index) const;

private:
    int fail();
    int finish(std::size_t count);

    std::array<FieldValue, kMaxCells> cells_{};
    std::size_t count_ = 0;
};

} // namespace zeb::messages
