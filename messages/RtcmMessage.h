#pragma once

#include "messages/GnssTime.h"

#include <array>
#include <cstdint>

namespace zeb::messages {

// One RTCM SC-104 version 2 message as the word assembler decoded it: the two header words'
// fields and the 24 data bits of every word, header words first.
struct RtcmMessage
{
    static constexpr int kMaxWords = 33;

    std::uint8_t messageType = 0; // 6 bits
    std::uint16_t stationId = 0; // 10 bits
    std::uint16_t zCount = 0; // 13 bits, modified Z-count in units of 0.6 s
    std::uint8_t sequence = 0; // 3 bits
    std::uint8_t length = 0; // 5 bits: data words after the two header words
    std::uint8_t health = 0; // 3 bits
    GnssTime time; // the Z-count resolved with a period of 3600 s
    std::array<std::uint32_t, kMaxWords> words{}; // 24 data bits each, in the low bits
    int wordCount = 0; // length + 2 for a complete message
};

} // namespace zeb::messages
