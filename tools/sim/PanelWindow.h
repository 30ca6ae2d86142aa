#pragma once

#include "PanelModel.h"
#include "platform/MessageTarget.h"

#include <chrono>
#include <string>
#include <vector>

namespace zeb::tools::sim {

// The simulator's front panel on its main thread: the request window of every connection, it
// feeds the panel model with the keys and clicks that arrive. The screen is drawn again when the
// model changed, when told (a connection switched it on), and every second for the clock.
class PanelWindow : public platform::MessageTarget
{
public:
    // The next call to due() draws the screen whatever the time.
    void invalidate() { m_dirty = true; }

    // The display lists to send now, or nothing when the screen has not changed since the last.
    std::vector<std::string> due(std::chrono::system_clock::time_point now);

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    PanelModel m_model;
    bool m_dirty = true;
    std::int64_t m_drawnSecond = -1;
};

} // namespace zeb::tools::sim
