#include "messages/codecs/OutputBuffer.h"

#include "text/CNumericScope.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zeb::codecs {

void OutputBuffer::clear()
{
    m_size = 0;
    m_overflowed = false;
}

void OutputBuffer::append(std::uint8_t byte)
{
    if (m_size >= kCapacity) {
        m_overflowed = true;
        return;
    }
    m_data[m_size++] = byte;
}

void OutputBuffer::append(std::string_view text)
{
    const std::size_t room = kCapacity - m_size;
    const std::size_t count = text.size() <= room ? text.size() : room;
    std::memcpy(m_data.data() + m_size, text.data(), count);
    m_size += count;
    if (count < text.size()) {
        m_overflowed = true;
    }
}

void OutputBuffer::appendFormat(const char* format, ...)
{
    // vsnprintf writes a terminating zero, so one byte of the room is reserved for it.
    const std::size_t room = kCapacity - m_size;
    const text::CNumericScope numbers;
    std::va_list args;
    va_start(args, format);
    char* const at = reinterpret_cast<char*>(m_data.data() + m_size);
    const int wanted = room > 0 ? std::vsnprintf(at, room, format, args) : -1;
    va_end(args);
    if (wanted < 0) {
        m_overflowed = true;
        return;
    }
    if (static_cast<std::size_t>(wanted) >= room) {
        m_size = kCapacity;
        m_overflowed = true;
        return;
    }
    m_size += static_cast<std::size_t>(wanted);
}

void OutputBuffer::appendBigEndian(std::uint32_t value, std::size_t bytes)
{
    for (std::size_t i = bytes; i > 0; --i) {
        append(static_cast<std::uint8_t>(value >> (8 * (i - 1))));
    }
}

std::span<std::uint8_t> OutputBuffer::writable(std::size_t offset)
{
    if (offset >= m_size) {
        return {};
    }
    return {m_data.data() + offset, m_size - offset};
}

} // namespace zeb::codecs
