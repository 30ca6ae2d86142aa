#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::stream {

class IOSTStream;

// Names a stream that its owner may destroy at any time (a peer stream the server reaps, say)
// without keeping a pointer to it. Each use pins the stream through the registry: while a pin
// lives the stream is not destroyed (its destructor waits, serving sends, and ends the calls
// waiting on it first); a stream that is gone gives an empty pin. Handles are never reused.
class StreamHandle
{
public:
    StreamHandle() = default;
    explicit StreamHandle(const IOSTStream& stream);

    class Pin
    {
    public:
        Pin() = default;
        ~Pin();
        Pin(Pin&& other) noexcept;
        Pin& operator=(Pin&&) = delete;
        Pin(const Pin&) = delete;

        explicit operator bool() const { return m_stream != nullptr; }
        IOSTStream& operator*() const { return *m_stream; }

    private:
        friend class StreamHandle;
        explicit Pin(IOSTStream* stream)
            : m_stream(stream)
        {
        }
        IOSTStream* m_stream = nullptr;
    };

    // The stream, pinned, or an empty pin when it is gone.
    Pin pin() const;
    // The newest stream with that address text, pinned (remote paths name their stream so).
    static Pin pinByAddress(std::string_view address);

private:
    std::uint64_t m_serial = 0;
};

} // namespace zeb::stream
