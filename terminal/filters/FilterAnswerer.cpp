#include "terminal/filters/FilterAnswerer.h"

namespace zeb::terminal {

namespace {

class BusyGuard
{
public:
    explicit BusyGuard(bool& busy)
        : busy_(busy)
    {
        busy_ = true;
    }
    ~BusyGuard() { busy_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& busy_;
};

} // namespace

FilterAnswerer::FilterAnswerer(InputFilterList& filters, FilterAnswerChannel& channel)
    : filters_(filters)
    , channel_(channel)
{
}

std::string_view FilterAnswerer::sentenceOf(std::string_view message)
{
    std::string_view sentence = message.substr(0, message.find_first_of("\r\n"));
    if (sentence.size() >= 3 && sentence[sentence.size() - 3] == '*') {
        sentence.remove_suffix(3);
    }
    return sentence;
}

AnswerOutcome FilterAnswerer::offer(std::string_view message)
{
    if (busy_) {
        return AnswerOutcome::Busy;
    }
    const std::string_view sentence = sentenceOf(message);
    const std::size_t index = filters_.firstMatch(sentence);
    if (index == InputFilterList::npos) {
        return AnswerOutcome::NoMatch;
    }
    const BusyGuard guard(busy_);
    return answer(index, sentence);
}

AnswerOutcome FilterAnswerer::answer(std::size_t index, std::string_view sentence)
{
    // The message and the list may change while the prompt is open: keep copies.
    const std::string pattern = filters_[index].pattern;
    FilterPattern::match(pattern, sentence, &fields_);
    rows_.clear();
    for (const FilterField& field : fields_) {
        rows_.push_back({std::string(field.label), std::string(field.value)});
    }
    fields_.clear();

    switch (channel_.prompt(rows_)) {
    case FilterAnswerChannel::Choice::Cancel:
        return AnswerOutcome::Cancelled;
    case FilterAnswerChannel::Choice::Disable:
        if (index < filters_.size() && filters_[index].pattern == pattern) {
            filters_.setEnabled(index, false);
        }
        return AnswerOutcome::Disabled;
    case FilterAnswerChannel::Choice::Accept:
        break;
    }
    values_.clear();
    for (const FilterAnswerRow& row : rows_) {
        values_.push_back(row.value);
    }
    std::string text = FilterPattern::answer(pattern, values_);
    text.append("\r\n");
    channel_.send(text);
    return AnswerOutcome::Answered;
}

} // namespace zeb::terminal
