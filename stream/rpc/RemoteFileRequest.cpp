#include "stream/rpc/RemoteFileRequest.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace zeb::stream::rpc {

namespace {

template <typename Unsigned>
void toLittleEndian(Unsigned value, std::uint8_t* out)
{
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

template <typename Unsigned>
Unsigned fromLittleEndian(const std::uint8_t* in)
{
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        value |= static_cast<Unsigned>(static_cast<Unsigned>(in[i]) << (8 * i));
    return value;
}

} // namespace

void RemoteFileRequest::beginWrite()
{
    m_mode = Mode::Write;
    m_length = 0;
    m_readPosition = 0;
}

void RemoteFileRequest::beginRead()
{
    m_mode = Mode::Read;
    m_readPosition = 0;
}

StreamStatus RemoteFileRequest::append(const void* bytes, std::size_t count)
{
    if (count > room())
        return StreamStatus::NotOpen;
    if (count > 0)
        std::memcpy(m_buffer.data() + m_length, bytes, count);
    m_length += count;
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::take(void* bytes, std::size_t count)
{
    if (m_readPosition >= m_length || count > m_length - m_readPosition)
        return StreamStatus::NotOpen;
    std::memcpy(bytes, m_buffer.data() + m_readPosition, count);
    m_readPosition += count;
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::appendByte(std::uint8_t value)
{
    return append(&value, 1);
}

StreamStatus RemoteFileRequest::appendWord(std::uint32_t value)
{
    std::uint8_t bytes[4];
    toLittleEndian(value, bytes);
    return append(bytes, sizeof bytes);
}

StreamStatus RemoteFileRequest::appendDoubleWord(std::uint64_t value)
{
    std::uint8_t bytes[8];
    toLittleEndian(value, bytes);
    return append(bytes, sizeof bytes);
}

StreamStatus RemoteFileRequest::appendText(std::string_view text)
{
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    if (text.size() + 1 > room())
        return StreamStatus::NotOpen;
    append(text.data(), text.size());
    const std::uint8_t zero = 0;
    return append(&zero, 1);
}

StreamStatus RemoteFileRequest::appendBlock(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() || bytes.size() + 4 > room())
        return StreamStatus::NotOpen;
    appendWord(static_cast<std::uint32_t>(bytes.size()));
    return append(bytes.data(), bytes.size());
}

StreamStatus RemoteFileRequest::readByte(std::uint8_t& value)
{
    return take(&value, 1);
}

StreamStatus RemoteFileRequest::readWord(std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (take(bytes, sizeof bytes) != StreamStatus::Ok)
        return StreamStatus::NotOpen;
    value = fromLittleEndian<std::uint32_t>(bytes);
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::readDoubleWord(std::uint64_t& value)
{
    std::uint8_t bytes[8];
    if (take(bytes, sizeof bytes) != StreamStatus::Ok)
        return StreamStatus::NotOpen;
    value = fromLittleEndian<std::uint64_t>(bytes);
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::readText(std::string_view& text)
{
    if (m_readPosition >= m_length)
        return StreamStatus::NotOpen;
    const auto* start = m_buffer.data() + m_readPosition;
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(start, 0, m_length - m_readPosition));
    if (!zero)
        return StreamStatus::NotOpen;
    const auto size = static_cast<std::size_t>(zero - start);
    text = std::string_view(reinterpret_cast<const char*>(start), size);
    m_readPosition += size + 1;
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::readBlock(std::span<const std::uint8_t>& bytes, std::size_t elementSize)
{
    const std::size_t start = m_readPosition;
    std::uint32_t count = 0;
    if (readWord(count) != StreamStatus::Ok)
        return StreamStatus::NotOpen;
    const std::size_t left = m_length - m_readPosition;
    // Division, not multiplication: a huge count must not wrap around into a small size.
    if (elementSize == 0 || count > left / elementSize) {
        m_readPosition = start;
        return StreamStatus::NotOpen;
    }
    const std::size_t size = count * elementSize;
    bytes = {m_buffer.data() + m_readPosition, size};
    m_readPosition += size;
    return StreamStatus::Ok;
}

StreamStatus RemoteFileRequest::assign(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > kCapacity)
        return StreamStatus::NotOpen;
    if (!bytes.empty())
        std::memcpy(m_buffer.data(), bytes.data(), bytes.size());
    m_length = bytes.size();
    m_readPosition = 0;
    m_mode = Mode::Read;
    return StreamStatus::Ok;
}

} // namespace zeb::stream::rpc
