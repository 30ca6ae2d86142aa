#include "terminal/core/TelecommandTranslator.h"

#include "text/HexDigit.h"

#include <new>

namespace zeb::terminal {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::size_t kMaxBlockDigits = 8;

bool isDecimal(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The character at `index`, or NUL past the end: the texts arrive zero-terminated, so NUL never
// matches any escape character.
char at(std::string_view text, std::size_t index)
{
    return index < text.size() ? text[index] : '\0';
}

} // namespace

TelecommandTranslator::Result TelecommandTranslator::translate(std::string_view text)
{
    m_count = 0;
    if (text.empty()) {
        return {};
    }
    try {
        if (m_buffer.size() < text.size()) {
            m_buffer.resize(text.size());
        }
    } catch (const std::bad_alloc&) {
        return {{}, kAllocationFailed};
    }
    std::size_t position = 0;
    while (position < text.size()) {
        const char c = text[position];
        if (c != '\\') {
            m_buffer[m_count++] = static_cast<std::uint8_t>(c);
            ++position;
            continue;
        }
        if (const auto error = escape(text, position); !error.empty()) {
            m_count = 0;
            return {{}, error};
        }
    }
    return {std::span<const std::uint8_t>(m_buffer.data(), m_count), {}};
}

std::string_view TelecommandTranslator::escape(std::string_view text, std::size_t& position)
{
    const char kind = at(text, position + 1);
    const char first = at(text, position + 2);
    const char second = at(text, position + 3);
    const char third = at(text, position + 4);
    auto emit = [this](int value) { m_buffer[m_count++] = static_cast<std::uint8_t>(value); };
    switch (kind) {
    case 'r':
        emit(kCr);
        position += 2;
        return {};
    case 'n':
        emit(kLf);
        position += 2;
        return {};
    case '\\':
        emit('\\');
        position += 2;
        return {};
    case 'x':
        if (text::hexDigitValue(first) >= 0 && text::hexDigitValue(second) >= 0) {
            emit(text::hexDigitValue(first) * 16 + text::hexDigitValue(second));
            position += 4;
            return {};
        }
        if (isBlank(first)) {
            position += 3;
            return hexadecimalBlock(text, position);
        }
        return kSyntaxError;
    case 'd':
        if (isDecimal(first) && isDecimal(second) && isDecimal(third)) {
            emit(((first - '0') * 100 + (second - '0') * 10 + (third - '0')) % 256);
            position += 5;
            return {};
        }
        return kSyntaxError;
    default:
        return kSyntaxError;
    }
}

std::string_view TelecommandTranslator::hexadecimalBlock(std::string_view text, std::size_t& position)
{
    while (position < text.size()) {
        const char c = text[position];
        if (isBlank(c)) {
            ++position;
            continue;
        }
        if (c == kCr) {
            if (at(text, position + 1) != kLf) {
                return kMissingEndOfLine;
            }
            position += 2;
            return {};
        }
        if (c == kLf) {
            return kMissingEndOfLine;
        }
        if (text::hexDigitValue(c) < 0) {
            return kBadHexadecimalNumber;
        }
        if (const auto error = hexadecimalNumber(text, position); !error.empty()) {
            return error;
        }
    }
    return {};
}

std::string_view TelecommandTranslator::hexadecimalNumber(std::string_view text, std::size_t& position)
{
    std::size_t digits = 0;
    std::uint32_t value = 0;
    while (position + digits < text.size() && text::hexDigitValue(text[position + digits]) >= 0) {
        if (digits == kMaxBlockDigits) {
            return kBadHexadecimalNumber;
        }
        value = value * 16 + static_cast<std::uint32_t>(text::hexDigitValue(text[position + digits]));
        ++digits;
    }
    const std::size_t end = position + digits;
    if (end < text.size() && !isBlank(text[end]) && text[end] != kCr) {
        return kMissingWhiteSpace;
    }
    for (std::size_t byte = (digits + 1) / 2; byte > 0; --byte) {
        m_buffer[m_count++] = static_cast<std::uint8_t>(value >> ((byte - 1) * 8));
    }
    position = end;
    return {};
}

} // namespace zeb::terminal
