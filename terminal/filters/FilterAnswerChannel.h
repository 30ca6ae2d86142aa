#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// One row of an answer prompt: a placeholder's label and its value, which the user may edit.
struct FilterAnswerRow
{
    std::string label;
    std::string value;

    bool operator==(const FilterAnswerRow&) const = default;
};

// What the input filters need from the terminal to answer: the prompt dialog, and the placeholder step
// that takes the answer to the stream.
class FilterAnswerChannel
{
public:
    enum class Choice {
        Accept, // the rows hold the values as edited
        Cancel,
        Disable, // the prompt's third button: stop answering with this filter
    };

    virtual ~FilterAnswerChannel() = default;
    // Gets one row per placeholder, in pattern order, however many there are; rows the prompt does not
    // show keep their matched values.
    virtual Choice prompt(std::vector<FilterAnswerRow>& rows) = 0;
    // The answer, ending in CR LF, for the placeholder step and the stream.
    virtual void send(std::string_view answer) = 0;
};

} // namespace zeb::terminal
