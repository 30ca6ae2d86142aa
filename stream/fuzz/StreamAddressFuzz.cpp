// Reads arbitrary text as a stream address, writes it back and reads that again: the second reading must
// give the same record (stop bits up to their one-decimal text form), for the parser and for the
// open-text grammar alike.
#include "stream/StreamAddress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using zeb::stream::StreamAddress;

void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

// Stop bits travel as "%.1f": compare them through the text, then leave them out of the record comparison.
bool sameRecord(StreamAddress first, StreamAddress second)
{
    first.serial.stopBits = 0.0;
    second.serial.stopBits = 0.0;
    return first == second;
}

void checkRoundTrip(const StreamAddress& first, const StreamAddress& second, const std::string& text)
{
    check(zeb::stream::formatStreamAddress(second) == text);
    check(sameRecord(first, second));
}

void fuzzParse(std::string_view input)
{
    StreamAddress first;
    const auto type = zeb::stream::parseStreamAddress(input, first);
    check(type >= 1 && type <= 5 && type == first.type);
    const std::string text = zeb::stream::formatStreamAddress(first);
    check(text.size() <= zeb::stream::kMaxAddressText);
    if (text.size() == zeb::stream::kMaxAddressText) {
        return; // possibly cut: a cut text need not read back
    }
    StreamAddress second;
    check(zeb::stream::parseStreamAddress(text, second) == type);
    checkRoundTrip(first, second, text);
}

void fuzzOpen(std::string_view input)
{
    StreamAddress first;
    const auto target = zeb::stream::parseOpenText(input, first);
    if (target != zeb::stream::OpenTarget::Address) {
        return;
    }
    const std::string text = zeb::stream::formatStreamAddress(first);
    if (text.size() == zeb::stream::kMaxAddressText) {
        return;
    }
    StreamAddress second;
    check(zeb::stream::parseOpenText(text, second) == zeb::stream::OpenTarget::Address);
    checkRoundTrip(first, second, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzzParse(input);
    fuzzOpen(input);
    if (const auto remote = zeb::stream::splitRemotePath(input)) {
        check(remote->first.size() + remote->second.size() + 2 == input.size());
    }
    return 0;
}
