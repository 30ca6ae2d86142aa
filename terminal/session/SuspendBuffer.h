#pragma once

#include "terminal/screen/ScreenLineStore.h"
#include "terminal/session/TerminalSink.h"

#include <string>

namespace zeb::terminal {

// What a suspended terminal would have shown, kept until it resumes. It holds as many lines as the screen
// (the screen could show no more anyway); when full the oldest lines go, and the replay starts with a line
// telling how many went. Line buffers are reused, so a long suspension under a flood allocates nothing.
class SuspendBuffer : public TerminalSink
{
public:
    static constexpr std::uint32_t kNoteColour = 0x808080;

    explicit SuspendBuffer(int lines = ScreenLineStore::kMaxLines)
        : m_store(lines)
    {
    }

    void setCapacity(int lines) { m_store.setCapacity(lines); }
    int lineCount() const { return m_store.lineCount(); }
    void show(std::uint32_t colour, std::string_view text) override;
    // Shows what was kept on `sink`, as it arrived, and empties the buffer.
    void replay(TerminalSink& sink);

private:
    ScreenLineStore m_store;
    std::string m_line;
};

} // namespace zeb::terminal
