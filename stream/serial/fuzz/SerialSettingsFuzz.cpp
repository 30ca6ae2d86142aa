// Reads arbitrary text as a serial address (as a workspace line or the connection page hands it
// over) and turns its settings into line attributes: whatever the text, the result is either a
// refusal that leaves the attributes alone, or a raw line without flow control at a known speed.
#include "stream/StreamAddress.h"
#include "stream/serial/SerialTermios.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb::stream;
    StreamAddress address;
    parseOpenText({reinterpret_cast<const char*>(data), size}, address);
    const SerialSettings& settings = address.serial;

    termios attributes{};
    std::memset(&attributes, 0xFF, sizeof attributes); // every flag a raw line must clear starts set
    const termios before = attributes;
    const int result = serial::applySerialSettings(attributes, settings);
    if (result != 0) {
        check(result == EINVAL);
        check(std::memcmp(&attributes, &before, sizeof attributes) == 0);
        return 0;
    }
    const auto speed = serial::baudRateConstant(settings.baudRate);
    check(speed.has_value() && ::cfgetospeed(&attributes) == *speed);
    check((attributes.c_cflag & CSIZE) == *serial::dataBitsFlag(settings.dataBits));
    check((attributes.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD));
    check((attributes.c_cflag & CRTSCTS) == 0);
    check((attributes.c_iflag & (ICRNL | IXON | IXOFF | IXANY | INPCK | ISTRIP)) == 0);
    check((attributes.c_oflag & OPOST) == 0);
    check((attributes.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0);
    check(attributes.c_cc[VMIN] == 0);
    check((attributes.c_cflag & (PARENB | PARODD | CMSPAR)) == serial::parityFlags(settings.parity));
    return 0;
}
