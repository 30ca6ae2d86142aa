#include "stream/serial/SerialTermios.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace zeb::stream::serial {
namespace {

SerialSettings lineSettings(std::uint32_t baud, std::uint8_t dataBits, double stopBits, char parity)
{
    SerialSettings settings;
    settings.baudRate = baud;
    settings.dataBits = dataBits;
    settings.stopBits = stopBits;
    settings.parity = parity;
    return settings;
}

constexpr tcflag_t kFrameFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

TEST(SerialTermios, FrameSettingsMapToControlFlags)
{
    // Data bits, stop bits, parity, and the control flags they make.
    const std::tuple<std::uint8_t, double, char, tcflag_t> cases[] = {
        {8, 1.0, 'N', CS8},
        {7, 1.0, 'O', CS7 | PARENB | PARODD},
        {7, 1.0, 'M', CS7 | PARENB | PARODD | CMSPAR},
        {6, 1.0, 'S', CS6 | PARENB | CMSPAR},
        // Lower case and unknown letters mean no parity.
        {8, 1.0, 'e', CS8},
        // Only exactly one stop bit is one.
        {5, 1.5, 'N', CS5 | CSTOPB},
        {8, 1.0000001, 'N', CS8 | CSTOPB},
    };
    for (const auto& [dataBits, stopBits, parity, flags] : cases) {
        SCOPED_TRACE(testing::Message() << int(dataBits) << " " << stopBits << " '" << parity << "'");
        termios attributes{};
        attributes.c_cflag = kFrameFlags; // every flag the settings may clear starts set
        ASSERT_EQ(applySerialSettings(attributes, lineSettings(9600, dataBits, stopBits, parity)), 0);
        EXPECT_EQ(attributes.c_cflag & kFrameFlags, flags);
    }
}

TEST(SerialTermios, StandardRatesAreSetAndAnythingElseIsRefusedUntouched)
{
    // The raw line itself, whatever the settings, is the settings fuzz target's check.
    for (const auto& [rate, constant] : {std::pair{50u, B50}, {115200u, B115200}, {4000000u, B4000000}}) {
        SCOPED_TRACE(rate);
        termios attributes{};
        ASSERT_EQ(applySerialSettings(attributes, lineSettings(rate, 8, 1.0, 'N')), 0);
        EXPECT_EQ(::cfgetospeed(&attributes), constant);
        EXPECT_EQ(::cfgetispeed(&attributes), constant);
    }
    // Rates and data bits.
    const std::pair<std::uint32_t, std::uint8_t> refused[] = {{0, 8}, {9601, 8}, {4000001, 8}, {9600, 4}, {9600, 9}};
    for (const auto& [rate, dataBits] : refused) {
        SCOPED_TRACE(testing::Message() << rate << " " << int(dataBits));
        termios attributes{};
        attributes.c_cflag = CS7 | CRTSCTS;
        EXPECT_EQ(applySerialSettings(attributes, lineSettings(rate, dataBits, 1.0, 'N')), EINVAL);
        EXPECT_EQ(attributes.c_cflag, tcflag_t{CS7 | CRTSCTS});
    }
}

TEST(SerialDevicePath, SettingsRedirectPortsAndDefaultsCountFromZero)
{
    auto settings = std::make_shared<platform::MemorySettings>();
    platform::Settings::install(settings);
    EXPECT_EQ(serialDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath(0), "");

    settings->writeText("SerialPorts", "COM1", "/dev/ttyUSB0");
    EXPECT_EQ(serialDevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(serialDevicePath(2), "/dev/ttyS1");
    platform::Settings::install(std::make_shared<platform::MemorySettings>());
}

} // namespace
} // namespace zeb::stream::serial
