#include "stream/serial/SerialTermios.h"

#include "platform/Settings.h"
#include "text/Format.h"

#include <array>
#include <cerrno>
#include <utility>

namespace zeb::stream::serial {

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 31> kBaudRates{{
    {50, B50},
    {75, B75},
    {110, B110},
    {134, B134},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
    {2000000, B2000000},
    {2500000, B2500000},
    {3000000, B3000000},
    {3500000, B3500000},
    {4000000, B4000000},
    {0, B0},
}};

} // namespace

std::optional<speed_t> baudRateConstant(std::uint32_t rate)
{
    // Rate 0 would hang up the line rather than set a speed.
    if (rate == 0)
        return std::nullopt;
    for (const auto& [value, constant] : kBaudRates) {
        if (value == rate)
            return constant;
    }
    return std::nullopt;
}

std::optional<tcflag_t> dataBitsFlag(std::uint32_t dataBits)
{
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return std::nullopt;
    }
}

tcflag_t parityFlags(char parity)
{
    switch (parity) {
    case 'E':
        return PARENB;
    case 'O':
        return PARENB | PARODD;
    case 'M':
        return PARENB | PARODD | CMSPAR;
    case 'S':
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

tcflag_t stopBitsFlag(double stopBits)
{
    return stopBits == 1.0 ? 0 : CSTOPB;
}

int applySerialSettings(termios& attributes, const SerialSettings& settings)
{
    const std::optional<speed_t> speed = baudRateConstant(settings.baudRate);
    const std::optional<tcflag_t> size = dataBitsFlag(settings.dataBits);
    if (!speed || !size)
        return EINVAL;

    ::cfmakeraw(&attributes);
    if (::cfsetispeed(&attributes, *speed) != 0 || ::cfsetospeed(&attributes, *speed) != 0)
        return EINVAL;
    attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    attributes.c_cflag |= *size | parityFlags(settings.parity) | stopBitsFlag(settings.stopBits) | CLOCAL | CREAD;
    // Received parity errors are not checked, as the bytes go to the framer whatever they are.
    attributes.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    attributes.c_cc[VSTART] = 0x11;
    attributes.c_cc[VSTOP] = 0x13;
    // Reads never wait: they take what the driver holds.
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 0;
    return 0;
}

std::string serialDevicePath(std::uint32_t portNumber)
{
    const std::string key = text::format("COM%u", portNumber);
    const std::string fallback = portNumber == 0 ? std::string() : text::format("/dev/ttyS%u", portNumber - 1);
    return platform::Settings::current().readText("SerialPorts", key, fallback);
}

} // namespace zeb::stream::serial
