#pragma once

#include "messages/MessageFramer.h"
#include "testsupport/ByteText.h"
#include "testsupport/CaptureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zeb::messages::test {

using testsupport::Bytes;
using testsupport::bytesOf;
using testsupport::textOf;

// One step's result with its bytes copied out (they are only valid until the next step).
struct Step
{
    ReadStatus status = ReadStatus::Idle;
    MessageKind kind = MessageKind::Unknown;
    MessageType type = message_type::Other;
    Bytes bytes;
};

inline Step copyOf(const FrameResult& result)
{
    return {result.status, result.kind, result.type, Bytes(result.data, result.data + result.length)};
}

// Feeds `input` the way a receive thread does: fill the free space with at most `chunk` bytes,
// commit, step until nothing more comes out, read again; one flush step at the end.
// Hands every Complete and Discarded step to `onStep`, in order.
template <typename OnStep>
void feed(MessageFramer& framer, const Bytes& input, std::size_t chunk, OnStep onStep)
{
    const auto drain = [&] {
        for (int guard = 0; guard < 1'000'000; ++guard) {
            const FrameResult result = framer.step();
            EXPECT_EQ(result.data[result.length], 0) << "message text must be zero-terminated";
            if (result.status != ReadStatus::Complete && result.status != ReadStatus::Discarded) {
                return;
            }
            onStep(result);
        }
        ADD_FAILURE() << "framing does not come to rest";
    };
    std::size_t offset = 0;
    while (offset < input.size()) {
        const auto space = framer.freeSpace();
        const std::size_t count = std::min({chunk, space.size(), input.size() - offset});
        if (count == 0) {
            ADD_FAILURE() << "receive buffer full and framing waits for more";
            return;
        }
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), count, space.begin());
        framer.commit(count);
        offset += count;
        drain();
    }
    const FrameResult flushed = framer.step(true);
    if (flushed.status == ReadStatus::Complete) {
        onStep(flushed);
    }
}

inline std::vector<Step> frameAll(MessageFramer& framer, const Bytes& input, std::size_t chunk)
{
    std::vector<Step> out;
    feed(framer, input, chunk, [&](const FrameResult& result) { out.push_back(copyOf(result)); });
    return out;
}

inline std::vector<Step> frameAll(const Bytes& input, std::size_t chunk)
{
    auto framer = std::make_unique<MessageFramer>();
    return frameAll(*framer, input, chunk);
}

inline Bytes readFile(const std::string& relative)
{
    const std::string text = testsupport::readFile(testsupport::captureFolder() / relative);
    EXPECT_FALSE(text.empty()) << "cannot read " << testsupport::captureFolder() / relative;
    return Bytes(text.begin(), text.end());
}

// The assembler's last message rebuilt as six-of-eight bytes.
inline Bytes rebuilt(const RtcmWordAssembler& assembler)
{
    Bytes out(RtcmWordAssembler::kMaxRebuiltBytes);
    out.resize(assembler.rebuild(out.data()));
    return out;
}

} // namespace zeb::messages::test
