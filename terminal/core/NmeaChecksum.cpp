#include "terminal/core/NmeaChecksum.h"

#include <algorithm>

namespace zeb::terminal {

namespace {

bool lineEnd(std::uint8_t byte)
{
    return byte == '\r' || byte == '\n';
}

void appendLine(std::span<const std::uint8_t> line, std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), line.begin(), line.end());
    const bool sentence = line.size() > 1 && (line[0] == '$' || line[0] == '!');
    if (!sentence || std::find(line.begin(), line.end(), '*') != line.end()) {
        return;
    }
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : line.subspan(1)) {
        sum ^= byte;
    }
    constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back('*');
    out.push_back(static_cast<std::uint8_t>(kDigits[sum >> 4]));
    out.push_back(static_cast<std::uint8_t>(kDigits[sum & 0x0F]));
}

} // namespace

void NmeaChecksum::complete(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out)
{
    out.clear();
    while (!bytes.empty()) {
        const auto end = std::find_if(bytes.begin(), bytes.end(), lineEnd);
        const auto length = static_cast<std::size_t>(end - bytes.begin());
        appendLine(bytes.first(length), out);
        bytes = bytes.subspan(length);
        // The line ends go as they are.
        while (!bytes.empty() && lineEnd(bytes.front())) {
            out.push_back(bytes.front());
            bytes = bytes.subspan(1);
        }
    }
}

} // namespace zeb::terminal
