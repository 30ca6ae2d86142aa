// Reads arbitrary bytes as a dictionary file, writes it and reads it back. What was read always writes
// to a text that reads back to itself; where every entry is representable (no lone CR in a value, lines
// that fit), the entries come back unchanged. Entries built from arbitrary labels and values also
// survive writing, apart from those with empty values.
#include "terminal/core/Dictionary.h"
#include "testsupport/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using zeb::terminal::Dictionary;
using zeb::terminal::DictionaryEntry;

using zeb::testsupport::check;

bool representable(const DictionaryEntry& entry)
{
    if (entry.label.size() > Dictionary::kMaxLabel) {
        return false;
    }
    std::string_view rest = entry.value;
    while (!rest.empty()) {
        const std::size_t cr = rest.find('\r');
        if (cr == std::string_view::npos || cr + 1 == rest.size() || rest[cr + 1] != '\n') {
            return false;
        }
        if (cr > Dictionary::kMaxValuePiece) {
            return false;
        }
        rest.remove_prefix(cr + 2);
    }
    return true;
}

void checkRead(std::string_view input)
{
    Dictionary first;
    first.readFrom(input);
    bool allRepresentable = true;
    for (const auto& entry : first.entries()) {
        check(!entry.value.empty() && entry.value.ends_with("\r\n"));
        check(entry.label.find('\n') == std::string::npos && (entry.label.empty() || entry.label[0] != '\t'));
        allRepresentable = allRepresentable && representable(entry);
    }
    const std::string text = first.toText();
    check(text.size() <= input.size() * 3 + 2);
    Dictionary second;
    second.readFrom(text);
    check(second.size() == first.size());
    if (allRepresentable) {
        check(second.entries() == first.entries());
    }
    check(second.toText() == text);
}

// The input as NUL-separated label, value, label, value...
void checkWrite(std::string_view input)
{
    const auto next = [&input] {
        const std::size_t end = std::min(input.find('\0'), input.size());
        const std::string_view piece = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        return piece;
    };
    Dictionary written;
    std::size_t nonEmpty = 0;
    while (!input.empty()) {
        const std::string_view label = next();
        const std::string_view value = next();
        written.add(std::string(label), std::string(value));
        nonEmpty += value.empty() ? 0 : 1;
    }
    const std::string text = written.toText();
    Dictionary read;
    read.readFrom(text);
    check(read.size() == nonEmpty);
    check(read.toText().size() <= text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkRead(input);
    checkWrite(input);
    return 0;
}
