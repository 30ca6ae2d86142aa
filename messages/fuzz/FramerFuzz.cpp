// Feeds arbitrary bytes through the framer as a receive loop would and checks what every step
// promises: a valid status and kind, a zero-terminated message no longer than the buffer, the
// classification of its bytes, and that framing always comes to rest and never stalls on a
// full buffer.
//
// Input layout: four bytes choose the read sizes (cycled), one byte how often a flush step is
// made (0: never); the rest is the byte flow.
#include "messages/Classifier.h"
#include "messages/MessageFramer.h"
#include "testsupport/FuzzCheck.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using namespace zeb::messages;

using zeb::testsupport::check;

class Hooks : public FramerHooks
{
public:
    void onHttpRequest(HttpRequestRecord& record) override
    {
        check(record.state() == HttpRequestRecord::Complete);
        check(record.headerCount() <= HttpRequestRecord::kMaxHeaders);
    }
};

void checkResult(const FrameResult& result)
{
    const auto status = static_cast<std::uint32_t>(result.status);
    check(status <= static_cast<std::uint32_t>(ReadStatus::Complete) && result.status != ReadStatus::EndOfStream);
    check(static_cast<std::uint32_t>(result.kind) <= static_cast<std::uint32_t>(MessageKind::HttpRequest));
    check(result.data != nullptr);
    check(result.length < MessageFramer::kCapacity);
    check(result.data[result.length] == 0);
    if (result.status != ReadStatus::Complete && result.status != ReadStatus::Discarded) {
        check(result.length == 0);
    }
    if (result.status == ReadStatus::Complete) {
        check(result.type == classify(result.kind, {result.data, result.length}));
    }
    if (result.kind == MessageKind::RTCM) {
        check(result.rtcm != nullptr);
        check(result.length == static_cast<std::uint32_t>(result.rtcm->wordCount) * 5);
        check(result.rtcm->wordCount == result.rtcm->length + 2);
    }
}

// Steps until nothing more comes out; returns the last result.
FrameResult drain(MessageFramer& framer)
{
    // Every Complete or Discarded step takes bytes or clears a frame state, so this is generous.
    const std::size_t limit = 2 * framer.held() + 16;
    for (std::size_t i = 0; i < limit; ++i) {
        const FrameResult result = framer.step();
        checkResult(result);
        check(framer.held() < MessageFramer::kCapacity);
        if (result.status != ReadStatus::Complete && result.status != ReadStatus::Discarded) {
            return result;
        }
    }
    check(false);
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kHeader = 5;
    if (size < kHeader) {
        return 0;
    }
    std::array<std::size_t, 4> reads{};
    for (std::size_t i = 0; i < reads.size(); ++i) {
        reads[i] = 1 + static_cast<std::size_t>(data[i]) * 53;
    }
    const unsigned flushEvery = data[4];
    data += kHeader;
    size -= kHeader;

    Hooks hooks;
    const auto framer = std::make_unique<MessageFramer>(&hooks);

    std::size_t offset = 0;
    for (unsigned round = 1; offset < size; ++round) {
        const auto space = framer->freeSpace();
        check(space.size() == MessageFramer::kCapacity - 1 - framer->held());
        check(!space.empty()); // a full buffer must always have been framed down
        const std::size_t count = std::min({reads[round % reads.size()], space.size(), size - offset});
        std::memcpy(space.data(), data + offset, count);
        framer->commit(count);
        offset += count;
        drain(*framer);
        if (flushEvery != 0 && round % flushEvery == 0) {
            checkResult(framer->step(true));
            check(framer->held() == 0);
        }
    }
    const FrameResult flushed = framer->step(true);
    checkResult(flushed);
    check(framer->held() == 0);
    check(framer->step().status == ReadStatus::Idle);
    return 0;
}
