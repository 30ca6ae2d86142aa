#pragma once

#include "PanelModel.h"
#include "platform/MessageTarget.h"

#include <chrono>
#include <functional>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::tools::sim {

// The simulator's front panel on its main thread: the request window of every connection,
// it feeds the panel model with the keys and clicks that arrive and notes which connections
// switched the screen on ("$PKVR,SCREEN,2,,ON" / "OFF"). The screen is drawn again when the
// model changed, when a connection switched it on, and every second for the clock.
class PanelWindow : public platform::MessageTarget
{
public:
    using ScreenSwitch = std::function<void(stream::IOSTStream* peer, bool on)>;

    explicit PanelWindow(ScreenSwitch screenSwitch);

    // The display lists to send now, or nothing when the screen has not changed since the last.
    std::vector<std::string> due(std::chrono::system_clock::time_point now);

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    ScreenSwitch m_screenSwitch;
    PanelModel m_model;
    bool m_dirty = true;
    std::int64_t m_drawnSecond = -1;
};

} // namespace zeb::tools::sim
