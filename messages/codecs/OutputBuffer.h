#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zeb::codecs {

// A fixed area a codec renders into, so that rendering allocates nothing. It is large enough for the
// longest text any frame that fits the receive buffer renders to (a UHF 'X' payload of non-printing
// bytes grows fourfold); a render that would pass the end stops there and marks the buffer overflowed.
class OutputBuffer
{
public:
    static constexpr std::size_t kCapacity = 65536;

    void clear();
    void append(std::uint8_t byte);
    void append(std::string_view text);
    void appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void appendBigEndian(std::uint32_t value, std::size_t bytes);

    std::size_t size() const { return m_size; }
    bool overflowed() const { return m_overflowed; }
    std::span<const std::uint8_t> bytes() const { return {m_data.data(), m_size}; }
    std::string_view text() const { return {reinterpret_cast<const char*>(m_data.data()), m_size}; }
    // The rendered bytes from `offset` on, for patching a length or checksum in place.
    std::span<std::uint8_t> writable(std::size_t offset);

private:
    std::array<std::uint8_t, kCapacity> m_data{};
    std::size_t m_size = 0;
    bool m_overflowed = false;
};

} // namespace zeb::codecs
