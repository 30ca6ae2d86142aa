#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"

#include <cstdint>
#include <span>

namespace zeb::messages {

// The receiver message a framed message is, from its kind and bytes: the letter of a binary
// or UHF frame, the "!" identifier of an SVar frame; every sentence is "NMEA", every RTCM
// message "RTCM", anything else "OTHER".
MessageType classify(MessageKind kind, std::span<const std::uint8_t> bytes);

// The kind of a whole message that did not come through the framer (one being sent, or a
// record built by hand): the first of sentence, binary frame, SVar, UHF, RTCM (when the record
// carries an RTCM decode) that fits; otherwise Residue.
MessageKind classifyContent(std::span<const std::uint8_t> bytes, bool hasRtcm);

} // namespace zeb::messages
