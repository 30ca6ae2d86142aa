#pragma once

#include "terminal/filters/FilterAnswerChannel.h"
#include "terminal/filters/FilterPattern.h"
#include "terminal/filters/InputFilterList.h"

#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

enum class AnswerOutcome {
    NoMatch,
    Busy, // a prompt was already open: the telecommand is not offered
    Cancelled,
    Disabled,
    Answered,
};

// Offers each telecommand the terminal shows to its input filters: the first enabled filter that
// matches the sentence (without line end and checksum) asks the user for the field values and sends the
// pattern back with them filled in.
//
// The prompt is modal and the terminal keeps serving its stream meanwhile, so telecommands arriving while
// a prompt is open are not offered: a receiver repeating a sentence would otherwise pile up prompts.
class FilterAnswerer
{
public:
    FilterAnswerer(InputFilterList& filters, FilterAnswerChannel& channel);

    // Allocates nothing when no filter matches.
    AnswerOutcome offer(std::string_view message);

    // The sentence the filters see: cut at the first CR or LF, then before a "*" third from the end.
    static std::string_view sentenceOf(std::string_view message);

private:
    AnswerOutcome answer(std::size_t index, std::string_view sentence);

    InputFilterList& filters_;
    FilterAnswerChannel& channel_;
    bool busy_ = false;
    std::vector<FilterField> fields_;
    std::vector<FilterAnswerRow> rows_;
    std::vector<std::string> values_;
};

} // namespace zeb::terminal
