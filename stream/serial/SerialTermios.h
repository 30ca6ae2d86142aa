#pragma once

#include "stream/StreamAddress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <termios.h>

namespace zeb::stream::serial {

// The speed constant of a baud rate; none for a rate the terminal interface has no constant for.
std::optional<speed_t> baudRateConstant(std::uint32_t rate);

// The character size flag for 5 to 8 data bits; none otherwise.
std::optional<tcflag_t> dataBitsFlag(std::uint32_t dataBits);

// Parity flags of a parity letter: 'E' even, 'O' odd, 'M' mark, 'S' space (the last two through
// CMSPAR). Any other character, lower case included, means no parity.
tcflag_t parityFlags(char parity);

// Exactly 1.0 is one stop bit; anything else is two. The terminal interface cannot ask for one and a
// half: two is the nearest that a receiver expecting 1.5 still reads (a longer idle line is harmless,
// a shorter one is a framing error), and with 5 data bits a UART sends 1.5 for this flag anyway.
tcflag_t stopBitsFlag(double stopBits);

// Turns `attributes` into a raw line with the settings' speed, size, parity and stop bits, the
// receiver enabled, modem status lines ignored, and no hardware or software flow control. Returns 0,
// or EINVAL for a speed or size the terminal interface cannot express.
int applySerialSettings(termios& attributes, const SerialSettings& settings);

// The device path of port "COM<n>": the settings value "COM<n>" in section "SerialPorts", by default
// "/dev/ttyS<n-1>". Port 0 has no default.
std::string serialDevicePath(std::uint32_t portNumber);

} // namespace zeb::stream::serial
