#include "terminal/session/SuspendBuffer.h"

#include "text/Format.h"

namespace zeb::terminal {

void SuspendBuffer::show(std::uint32_t colour, std::string_view text)
{
    m_store.setColour(colour);
    m_store.addText(text);
}

void SuspendBuffer::replay(TerminalSink& sink)
{
    if (m_store.droppedLines() > 0) {
        m_line = text::format("(%llu older lines dropped while suspended)\r",
                              static_cast<unsigned long long>(m_store.droppedLines()));
        sink.show(kNoteColour, m_line);
    }
    const int count = m_store.lineCount();
    for (int i = 0; i < count; ++i) {
        m_line.assign(m_store.line(i));
        // The last line goes on with what arrives next, as it would have on the screen.
        if (i + 1 < count || !m_store.lastLineOpen()) {
            m_line += '\r';
        }
        sink.show(m_store.lineColour(i), m_line);
    }
    m_store.clear();
}

} // namespace zeb::terminal
