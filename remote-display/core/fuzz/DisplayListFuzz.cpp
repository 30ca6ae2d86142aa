// Feeds arbitrary bytes as display requests and paints what they complete: the first byte of
// each piece gives its length, so one input drives begins, appends and ends in any order.
// Whatever the bytes, the list stays within its capacity and painting ends.

#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayList.h"
#include "remote-display/core/JsonPainter.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb::remote_display;
    static DisplayList list;
    std::span<const std::uint8_t> rest(data, size);
    while (!rest.empty()) {
        const std::size_t length = std::min<std::size_t>(rest[0] * 4u, rest.size() - 1);
        const auto piece = rest.subspan(1, length);
        rest = rest.subspan(1 + length);
        if (list.take(piece) != DisplayList::Outcome::Completed)
            continue;
        zeb::testsupport::check(list.shown().size() <= DisplayList::kCapacity);
        JsonPainter painter;
        const auto summary = DisplayInterpreter::paint(list.shown(), painter);
        zeb::testsupport::check(summary.operations + summary.skipped <= list.shown().size() / 4 + 6);
    }
    // The whole input as one list, too.
    JsonPainter painter;
    DisplayInterpreter::interpret({data, size}, painter);
    return 0;
}
