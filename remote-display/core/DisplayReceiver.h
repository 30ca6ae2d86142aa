#pragma once

#include "platform/MessageTarget.h"
#include "remote-display/core/DisplayList.h"

#include <functional>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::remote_display {

// The receiving end of a remote display: registered as its stream's request window, it builds
// the display list from the requests the stream does not serve, on its own thread, and tells
// its owner when a list is complete and when the stream opens or closes. The registration
// stays across reconnects, so a reopened stream feeds the same display.
class DisplayReceiver : public platform::MessageTarget
{
public:
    struct Hooks
    {
        std::function<void()> completed;
        std::function<void()> opened;
        std::function<void()> closed;
    };

    explicit DisplayReceiver(Hooks hooks);
    ~DisplayReceiver() override;

    // Leaves the previous stream, registers with `stream` (may be null).
    void attach(stream::IOSTStream* stream);
    stream::IOSTStream* stream() const { return m_stream; }
    const DisplayList& list() const { return m_list; }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    Hooks m_hooks;
    stream::IOSTStream* m_stream = nullptr;
    DisplayList m_list;
};

} // namespace zeb::remote_display
