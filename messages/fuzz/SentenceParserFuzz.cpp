// Parses arbitrary bytes as a sentence and checks what the parser promises: one of its three codes, an
// empty result on failure, and fields that lie inside the sentence's own copy.
#include "messages/SentenceParser.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using zeb::testsupport::check;

void checkParsed(const zeb::messages::SentenceParser& parser)
{
    using zeb::messages::SentenceParser;
    check(parser.family() >= 1 && parser.family() <= 4);
    check(parser.mode() == 1 || parser.mode() == 2);
    check(!parser.identifier().empty() && parser.identifier().size() <= 6);
    check(parser.fieldCount() < SentenceParser::kMaxFields);
    std::size_t total = 0;
    for (std::size_t i = 1; i <= parser.fieldCount(); ++i) {
        total += parser.field(i).size();
    }
    check(total <= SentenceParser::kMaxLength);
    check(parser.field(parser.fieldCount() + 1).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    zeb::messages::SentenceParser parser;
    const int code = parser.parse(input);
    check(code == 0 || code == 6 || code == 15);
    if (code == 0) {
        checkParsed(parser);
        // A copy reads the same, independently of the original.
        const zeb::messages::SentenceParser copy = parser;
        check(copy.identifier() == parser.identifier() && copy.fieldCount() == parser.fieldCount());
        return 0;
    }
    check(parser.family() == 0 && parser.fieldCount() == 0 && parser.identifier().empty());
    return 0;
}
