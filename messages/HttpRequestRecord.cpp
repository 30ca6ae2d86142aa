#include "messages/HttpRequestRecord.h"

namespace zeb::messages {

namespace {

constexpr char toUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `name` turned to upper case equals `upper`.
bool equalsInUpperCase(std::string_view upper, std::string_view name)
{
    if (upper.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (upper[i] != toUpper(name[i])) {
            return false;
        }
    }
    return true;
}

// Reads the line the way the C library's scanf reads it: the position moves past what matched.
class LineReader
{
public:
    explicit LineReader(std::string_view text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    std::string_view rest() const { return m_text.substr(m_pos); }

    void skipBlanks()
    {
        while (!atEnd() && m_text[m_pos] == ' ') {
            ++m_pos;
        }
    }

    bool literal(std::string_view expected)
    {
        if (m_text.substr(m_pos, expected.size()) != expected) {
            return false;
        }
        m_pos += expected.size();
        return true;
    }

    // A non-empty run of bytes that are none of `stops` (a "%[^...]" conversion).
    std::string_view runUntil(std::string_view stops)
    {
        const std::size_t start = m_pos;
        while (!atEnd() && stops.find(m_text[m_pos]) == std::string_view::npos) {
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

    // "%u": blanks, an optional sign and at least one digit, converted as strtoul does on a
    // 64-bit system (saturating, a minus sign negates) and cut to 32 bits.
    bool unsignedNumber(unsigned& out)
    {
        skipBlanks();
        bool negative = false;
        if (!atEnd() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
            negative = m_text[m_pos] == '-';
            ++m_pos;
        }
        const std::size_t start = m_pos;
        std::uint64_t value = 0;
        bool overflow = false;
        for (; !atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9'; ++m_pos) {
            const auto digit = static_cast<std::uint64_t>(m_text[m_pos] - '0');
            if (value > (UINT64_MAX - digit) / 10) {
                overflow = true;
            }
            value = value * 10 + digit;
        }
        if (m_pos == start) {
            return false;
        }
        if (overflow) {
            value = UINT64_MAX;
        } else if (negative) {
            value = ~value + 1;
        }
        out = static_cast<unsigned>(value);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

void HttpRequestRecord::clear()
{
    m_state = ExpectRequestLine;
    m_method = {};
    m_target = {};
    m_major = 0;
    m_minor = 0;
    m_headerCount = 0;
    m_textUsed = 0;
    response = nullptr;
    responseCount = 0;
}

bool HttpRequestRecord::hasControlByte(std::string_view line)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\r') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

HttpRequestRecord::State HttpRequestRecord::handleLine(std::string_view line)
{
    if (m_state == Complete || m_state == Malformed) {
        return m_state;
    }
    if (line.size() > m_line.size() || hasControlByte(line)) {
        m_state = Malformed;
        return m_state;
    }
    std::size_t length = 0;
    for (const char c : line) {
        if (c != '\r') {
            m_line[length++] = c;
        }
    }
    const std::string_view text(m_line.data(), length);
    m_state = m_state == ExpectRequestLine ? parseRequestLine(text) : parseHeaderLine(text);
    return m_state;
}

HttpRequestRecord::State HttpRequestRecord::parseRequestLine(std::string_view line)
{
    // "%[^ ] %[^ ] HTTP/%u.%u"
    LineReader reader(line);
    const std::string_view method = reader.runUntil(" ");
    if (method.empty()) {
        return Malformed;
    }
    reader.skipBlanks();
    const std::string_view target = reader.runUntil(" ");
    if (target.empty()) {
        return Malformed;
    }
    reader.skipBlanks();
    unsigned major = 0;
    unsigned minor = 0;
    if (!reader.literal("HTTP/") || !reader.unsignedNumber(major) || !reader.literal(".")
        || !reader.unsignedNumber(minor)) {
        return Malformed;
    }
    const auto storedMethod = store(method, true);
    const auto storedTarget = store(target, false);
    if (!storedMethod || !storedTarget) {
        return Malformed;
    }
    m_method = *storedMethod;
    m_target = *storedTarget;
    m_major = major;
    m_minor = minor;
    return ReadingHeaders;
}

HttpRequestRecord::State HttpRequestRecord::parseHeaderLine(std::string_view line)
{
    if (line.empty()) {
        return Complete;
    }
    // "%[^ :] : " and the rest of the line as the value.
    LineReader reader(line);
    const std::string_view name = reader.runUntil(" :");
    if (name.empty()) {
        return Malformed;
    }
    reader.skipBlanks();
    if (!reader.literal(":")) {
        return Malformed;
    }
    reader.skipBlanks();
    const std::string_view value = reader.rest();
    if (value.empty()) {
        return Malformed;
    }
    const auto storedValue = store(value, true);
    if (!storedValue) {
        return Malformed;
    }
    for (std::size_t i = 0; i < m_headerCount; ++i) {
        if (equalsInUpperCase(m_headers[i].name, name)) {
            m_headers[i].value = *storedValue;
            return ReadingHeaders;
        }
    }
    const auto storedName = store(name, true);
    if (!storedName || m_headerCount == m_headers.size()) {
        return Malformed;
    }
    m_headers[m_headerCount++] = Header{*storedName, *storedValue};
    return ReadingHeaders;
}

std::optional<std::string_view> HttpRequestRecord::store(std::string_view text, bool upper)
{
    if (text.size() > m_text.size() - m_textUsed) {
        return std::nullopt;
    }
    char* const out = m_text.data() + m_textUsed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = upper ? toUpper(text[i]) : text[i];
    }
    m_textUsed += text.size();
    return std::string_view(out, text.size());
}

HttpRequestRecord::Header HttpRequestRecord::header(std::size_t index) const
{
    if (index >= m_headerCount) {
        return {};
    }
    return m_headers[m_headerCount - 1 - index];
}

std::optional<std::string_view> HttpRequestRecord::find(std::string_view name) const
{
    for (std::size_t i = 0; i < m_headerCount; ++i) {
        if (equalsInUpperCase(m_headers[i].name, name)) {
            return m_headers[i].value;
        }
    }
    return std::nullopt;
}

} // namespace zeb::messages
