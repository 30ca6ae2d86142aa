#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::remote_display {

// What the views send to the receiver: requests in record frames (kind 1, no reply awaited)
// and the sentences that switch its screen output. A request that cannot be sent is dropped.
class PanelRequests
{
public:
    static constexpr std::uint32_t kKey = 4026;
    static constexpr std::uint32_t kClick = 4027;
    static constexpr std::uint32_t kStepUp = 19;
    static constexpr std::uint32_t kStepDown = 18;
    static constexpr std::string_view kScreenOn = "$PKVR,SCREEN,2,,ON\r\n";
    static constexpr std::string_view kScreenOff = "$PKVR,SCREEN,2,,OFF\r\n";
    static constexpr std::string_view kTest = "$PKVR,TEST,11,1\r\n";

    // 4026, code. Whether the stream took it.
    static bool sendKey(stream::IOSTStream& stream, std::uint32_t code);
    // 4027, 1, x, y with (x, y) a pixel of the display area (brought inside it).
    static bool sendClick(stream::IOSTStream& stream, int x, int y);
    // 19 up, 18 down.
    static bool sendStep(stream::IOSTStream& stream, bool up);
    static bool sendSentence(stream::IOSTStream& stream, std::string_view sentence);
};

} // namespace zeb::remote_display
