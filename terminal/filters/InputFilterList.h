#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// One input filter: a sentence pattern (see FilterPattern) and whether it is in use.
struct InputFilter
{
    bool enabled = true;
    std::string pattern;

    bool operator==(const InputFilter&) const = default;
};

// The terminal's input filters, in order, with the edits of the filter editor.
//
// Patterns hold no CR, LF or NUL and at most kMaxPatternLength characters: the longest that a ".ufl" line
// gives back ("x " and the pattern within one 1023-character read), so everything in the list survives
// being written and read again. Longer texts are cut, and an edit that leaves nothing keeps the old
// pattern.
class InputFilterList
{
public:
    static constexpr std::size_t kMaxPatternLength = 1021;
    static constexpr std::string_view kNewPattern = "$PKVR,";
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    const std::vector<InputFilter>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const InputFilter& operator[](std::size_t index) const { return entries_[index]; }

    // False (nothing added) when the pattern is empty once cut.
    bool add(bool enabled, std::string_view pattern);
    void clear() { entries_.clear(); }

    // Filter editor edits; an index out of range changes nothing.
    void toggle(std::size_t index);
    void setEnabled(std::size_t index, bool enabled);
    bool setPattern(std::size_t index, std::string_view pattern);
    // Appends an enabled entry with kNewPattern and returns its index.
    std::size_t appendNew();
    void remove(std::size_t index);

    // The first enabled entry whose pattern matches the sentence, or npos. Allocates nothing.
    std::size_t firstMatch(std::string_view sentence) const;

    bool operator==(const InputFilterList&) const = default;

    // The pattern as the list keeps it: cut at the first CR, LF or NUL, and to kMaxPatternLength.
    static std::string_view storable(std::string_view pattern);

private:
    std::vector<InputFilter> entries_;
};

} // namespace zeb::terminal
