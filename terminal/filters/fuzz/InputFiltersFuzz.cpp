// Reads arbitrary bytes as an input filter file and checks what the filters promise: patterns the file
// can hold, a write that reads back to the same list and the same bytes, and, with every line of the
// input taken as a received message, matches whose unedited answer rebuilds the sentence.
#include "terminal/filters/FilterAnswerer.h"
#include "terminal/filters/FilterPattern.h"
#include "terminal/filters/InputFilterFile.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zeb::terminal;

using zeb::testsupport::check;

// Accepts with the values as matched and keeps what is sent.
class EchoChannel : public FilterAnswerChannel
{
public:
    Choice prompt(std::vector<FilterAnswerRow>&) override { return Choice::Accept; }
    void send(std::string_view answer) override { sent.assign(answer); }

    std::string sent;
};

void checkList(const InputFilterList& list)
{
    for (const InputFilter& filter : list.entries()) {
        check(!filter.pattern.empty() && filter.pattern.size() <= InputFilterList::kMaxPatternLength);
        check(filter.pattern.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    }
}

void checkRoundTrip(const InputFilterList& list)
{
    const std::string written = InputFilterFile::format(list);
    const InputFilterList reread = InputFilterFile::parse(written);
    check(reread == list);
    check(InputFilterFile::format(reread) == written);
}

void checkMatch(std::string_view pattern, std::string_view sentence)
{
    std::vector<FilterField> fields;
    const bool matched = FilterPattern::match(pattern, sentence, &fields);
    check(matched == FilterPattern::match(pattern, sentence));
    if (!matched) {
        return;
    }
    std::vector<std::string> values;
    for (const FilterField& field : fields) {
        values.emplace_back(field.value);
    }
    check(FilterPattern::answer(pattern, values) == sentence);
}

std::vector<std::string_view> linesOf(std::string_view input, std::size_t limit)
{
    std::vector<std::string_view> lines;
    while (!input.empty() && lines.size() < limit) {
        const std::size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    InputFilterList list = InputFilterFile::parse(input);
    checkList(list);
    checkRoundTrip(list);

    constexpr std::size_t kLimit = 32;
    const std::vector<std::string_view> messages = linesOf(input, kLimit);
    for (std::size_t i = 0; i < list.size() && i < kLimit; ++i) {
        for (const std::string_view message : messages) {
            checkMatch(list[i].pattern, FilterAnswerer::sentenceOf(message));
            checkMatch(list[i].pattern, message);
        }
    }

    EchoChannel channel;
    FilterAnswerer answerer(list, channel);
    for (const std::string_view message : messages) {
        channel.sent.clear();
        const AnswerOutcome outcome = answerer.offer(message);
        if (outcome == AnswerOutcome::Answered) {
            check(channel.sent == std::string(FilterAnswerer::sentenceOf(message)) + "\r\n");
        } else {
            check(outcome == AnswerOutcome::NoMatch && channel.sent.empty());
        }
    }
    return 0;
}
