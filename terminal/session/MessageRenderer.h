#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "terminal/session/TerminalOptions.h"
#include "terminal/session/TerminalSink.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace zeb::codecs {
class OutputBuffer;
}

namespace zeb::stream {
class StreamEvent;
}

namespace zeb::terminal {

// Shows one message of the terminal's stream: the pair of its category and direction selects how (hidden,
// a summary line, the bytes as text or hexadecimal, or the codec's text form) and in which colour.
//
// Text is built in buffers kept between messages, so once they have grown to the longest message seen,
// rendering allocates nothing. One thread renders at a time; the codecs are the process's shared ones.
class MessageRenderer
{
public:
    static constexpr std::uint8_t kEtx = 0x03;
    static constexpr std::size_t kHexBytesPerLine = 16;

    // Registers the process's message codecs (once per process).
    MessageRenderer();
    ~MessageRenderer();
    MessageRenderer(const MessageRenderer&) = delete;
    MessageRenderer& operator=(const MessageRenderer&) = delete;

    void render(const stream::StreamEvent& event, Direction direction, const TerminalOptions& options,
                TerminalSink& sink);

    // The screen was emptied: the hexadecimal line starts again.
    void clear() { m_hexCount = 0; }

private:
    using Bytes = std::span<const std::uint8_t>;

    void showSBin(const stream::StreamEvent& event, const DisplayPair& pair, TerminalSink& sink);
    void showUhf(Bytes bytes, const DisplayPair& pair, TerminalSink& sink);
    void showRtcm(const stream::StreamEvent& event, Direction direction, const DisplayPair& pair, TerminalSink& sink);
    // A receiver frame with a codec of its own letter: decoded text, summary line, or the frame as it is.
    void showMember(messages::MessageKind kind, messages::MessageType type, char letter, Bytes bytes,
                    const DisplayPair& pair, TerminalSink& sink);
    // Decodes and shows the text form; false when the codec declines (the frame is then to be shown as
    // it is). A missing codec shows nothing and counts as done.
    bool showDecoded(messages::MessageKind kind, messages::MessageType type, Bytes bytes, std::uint32_t colour,
                     TerminalSink& sink);
    void showAsIs(Bytes bytes, const DisplayPair& pair, TerminalSink& sink);
    void showHexadecimal(Bytes bytes, std::uint32_t colour, TerminalSink& sink);
    static void showLine(TerminalSink& sink, std::uint32_t colour, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

    std::string m_text;
    std::unique_ptr<codecs::OutputBuffer> m_output;
    std::size_t m_hexCount = 0;
};

} // namespace zeb::terminal
