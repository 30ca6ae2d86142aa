#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// One placeholder of a matched pattern: its label and the text of the sentence it took. Views into the
// pattern and the sentence given to the match.
struct FilterField
{
    std::string_view label;
    std::string_view value;

    bool operator==(const FilterField&) const = default;
};

// Input filter patterns: sentences with placeholders "%[label]" for fields.
//
// Matching runs left to right. An ordinary character must equal the sentence's character. A placeholder
// takes the sentence's text up to the next comma or the end, leaving the comma to the pattern; followed
// by "*", which must then end the pattern, it takes all the rest of the sentence. A "%" not followed by
// "[", or a "%[" without "]", makes the pattern fail. Pattern and sentence must end together.
class FilterPattern
{
public:
    // Allocates nothing unless fields are asked for; they are replaced, one per placeholder in order.
    static bool match(std::string_view pattern, std::string_view sentence, std::vector<FilterField>* fields = nullptr);

    // The pattern with each placeholder replaced by the next value (a missing value counts as empty); a
    // placeholder followed by "*" ends the answer after its value. No line end is added.
    static std::string answer(std::string_view pattern, std::span<const std::string> values);
};

} // namespace zeb::terminal
