// Showing any bytes as any kind of message, in any mode and direction, never fails.
#include "stream/StreamEvent.h"
#include "terminal/session/MessageRenderer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class NullSink : public zeb::terminal::TerminalSink
{
public:
    void show(std::uint32_t, std::string_view text) override { shown += text.size(); }
    std::size_t shown = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb;
    if (size < 2) {
        return 0;
    }
    static terminal::MessageRenderer renderer;
    NullSink sink;
    terminal::TerminalOptions options;
    for (terminal::DisplayPair& pair : options.pairs()) {
        pair.mode = data[1] % 6u;
    }
    std::vector<std::uint8_t> bytes(data + 2, data + size);
    bytes.push_back(0);
    stream::StreamEvent event;
    event.setData(bytes.data(), static_cast<std::uint32_t>(size - 2));
    event.kind = static_cast<messages::MessageKind>(data[0] & 7u);
    event.type = static_cast<messages::MessageType>(data[0] >> 3);
    messages::RtcmMessage rtcm;
    if ((data[0] & 0x80u) != 0) {
        event.setRtcm(&rtcm);
    }
    renderer.render(event, (data[1] & 0x80u) ? terminal::Direction::Send : terminal::Direction::Receive, options, sink);
    return 0;
}
