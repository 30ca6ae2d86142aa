// Scans a sentence by a format, both taken from the input: the format, a NUL byte, then the sentence.
// Checks the result codes and that every cell is readable through every accessor.
#include "messages/FieldScanner.h"
#include "messages/SentenceParser.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using zeb::testsupport::check;

void checkCell(const zeb::messages::FieldValue& cell)
{
    const char type = cell.type();
    check(type == 0 || type == 'c' || type == 'f' || type == 'i' || type == 'u' || type == 's');
    volatile std::int64_t integer = cell.asInteger();
    volatile double real = cell.asDouble();
    volatile char character = cell.asCharacter();
    (void)integer;
    (void)real;
    (void)character;
    check(cell.asString().size() <= zeb::messages::SentenceParser::kMaxLength);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\0');
    const std::string_view format = bytes.substr(0, split);
    const std::string_view sentence = split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);

    zeb::messages::SentenceParser parser;
    if (parser.parse(sentence) != 0) {
        return 0;
    }
    zeb::messages::FieldScanner scanner;
    const int code = scanner.scan(parser, format);
    check(code == 0 || code == 1 || code == 6);
    check(scanner.cellCount() <= parser.fieldCount());
    check(code == 0 || scanner.cellCount() == 0);
    for (std::size_t i = 0; i <= scanner.cellCount() + 1; ++i) {
        checkCell(scanner.cell(i));
    }
    return 0;
}
