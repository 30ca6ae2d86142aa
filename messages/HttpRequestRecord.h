#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zeb::messages {

// One HTTP request being collected from a stream, line by line, and the response its handler
// leaves for the stream to send. Texts live in a fixed arena inside the record, so collecting a
// request allocates nothing and a peer that sends endless headers cannot grow it: a request
// whose texts or headers do not fit is malformed.
class HttpRequestRecord
{
public:
    enum State : int {
        ExpectRequestLine = 0,
        ReadingHeaders = 1,
        Complete = 3,
        Malformed = 4,
    };

    struct Header
    {
        std::string_view name; // upper case, unique within the request
        std::string_view value; // upper case
    };

    static constexpr std::size_t kTextCapacity = 8192;
    static constexpr std::size_t kMaxHeaders = 64;
    static constexpr std::size_t kMaxLine = 12068;

    HttpRequestRecord() = default;
    HttpRequestRecord(const HttpRequestRecord&) = delete;
    HttpRequestRecord& operator=(const HttpRequestRecord&) = delete;

    // Forgets the request (texts, headers, version, response) and expects a request line.
    void clear();

    // Takes one line without its LF; CR bytes are dropped. Lines holding another control byte
    // must not be passed (see hasControlByte). Returns the new state.
    State handleLine(std::string_view line);

    // True when the line holds a byte below 0x20 other than CR, or 0x7F.
    static bool hasControlByte(std::string_view line);

    State state() const { return m_state; }
    std::string_view method() const { return m_method; }
    std::string_view target() const { return m_target; }
    unsigned versionMajor() const { return m_major; }
    unsigned versionMinor() const { return m_minor; }

    // Headers newest first: header(0) is the one added last.
    std::size_t headerCount() const { return m_headerCount; }
    Header header(std::size_t index) const;
    // The value of the header with this name (compared in upper case).
    std::optional<std::string_view> find(std::string_view name) const;

    // The response the request's handler leaves; the stream sends `responseCount` bytes from
    // `response`. The bytes belong to the handler and must outlive the sending.
    const std::uint8_t* response = nullptr;
    std::size_t responseCount = 0;

private:
    State parseRequestLine(std::string_view line);
    State parseHeaderLine(std::string_view line);
    // Copies `text` into the arena in upper case (or as it stands); empty on overflow.
    std::optional<std::string_view> store(std::string_view text, bool upper);

    State m_state = ExpectRequestLine;
    std::string_view m_method;
    std::string_view m_target;
    unsigned m_major = 0;
    unsigned m_minor = 0;
    std::array<Header, kMaxHeaders> m_headers{}; // in arrival order
    std::size_t m_headerCount = 0;
    std::array<char, kTextCapacity> m_text{};
    std::size_t m_textUsed = 0;
    std::array<char, kMaxLine> m_line{};
};

} // namespace zeb::messages
