#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::messages {

// Which framing a message came in.
enum class MessageKind : std::uint32_t {
    Unknown = 0, // bytes that form no frame
    Residue = 1, // bytes handed out by a flush
    SBin = 2, // binary frame 0xFE ... 0xFF
    SVar = 3, // text frame STX ... ETX
    UHF = 4, // STX frame with letter C, P, T or X and a length field
    RTCM = 5, // one RTCM SC-104 version 2 message
    Telecommand = 6, // sentence "$" ... line feed
    HttpRequest = 7, // an HTTP request
};

// "Unknown", "Residue", "SBin", "SVar", "UHF", "RTCM", "Telecommand", "HttpRequest";
// "?" for any other value.
std::string_view messageKindName(MessageKind kind);

} // namespace zeb::messages
