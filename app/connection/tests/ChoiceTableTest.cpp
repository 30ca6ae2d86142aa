#include "app/connection/ChoiceTable.h"

#include "platform/MemorySettings.h"
#include "stream/serial/SerialPortList.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zeb::connection {
namespace {

std::vector<std::string> texts(const ChoiceTable& table)
{
    std::vector<std::string> out;
    for (const Choice& choice : table.entries())
        out.push_back(choice.text);
    return out;
}

class SerialPortList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(m_settings);
    }
    void TearDown() override { platform::Settings::install(std::make_shared<platform::MemorySettings>()); }

    std::shared_ptr<platform::MemorySettings> m_settings;
};

TEST_F(SerialPortList, CountComesFromTheSettingsAndStaysBounded)
{
    EXPECT_EQ(serialPortCount(), 8u);
    EXPECT_EQ(texts(ChoiceTable::serialPorts(serialPortCount())),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));

    m_settings->writeInt("Settings", "serialPortCount", 16);
    const ChoiceTable sixteen = ChoiceTable::serialPorts(serialPortCount());
    ASSERT_EQ(sixteen.size(), 16u);
    EXPECT_EQ(sixteen.at(15).text, "16");
    EXPECT_EQ(sixteen.at(15).value, 16.0);

    m_settings->writeInt("Settings", "serialPortCount", -5);
    EXPECT_EQ(serialPortCount(), 0u);
    m_settings->writeInt("Settings", "serialPortCount", 2'000'000'000);
    EXPECT_EQ(serialPortCount(), kMaxSerialPorts);
}

// The lines that exist are listed in a stable order, and those no listed port stands for get port
// numbers that neither clash with the user's settings nor move between runs.
TEST_F(SerialPortList, ExistingLinesAreListedAndOfferedUnderFreePortNumbers)
{
    testsupport::TempFolder root;
    for (const char* name : {"dev/ttyS10", "dev/ttyS9", "dev/ttyS0", "dev/ttyUSB0", "dev/ttyACM1", "dev/ttyUSBx",
                             "dev/ttyS", "dev/serial/by-id/usb-Receiver-if00"})
        root.write(name, "");
    const std::string dev = (root / "dev").string() + "/";
    const std::vector<std::string> listed = stream::serial::listSerialPorts(root.path());
    EXPECT_EQ(listed,
              (std::vector<std::string>{dev + "serial/by-id/usb-Receiver-if00", dev + "ttyACM1", dev + "ttyUSB0",
                                        dev + "ttyS0", dev + "ttyS9", dev + "ttyS10"}));

    m_settings->writeText("SerialPorts", "COM2", dev + "ttyS0");
    m_settings->writeText("SerialPorts", "COM12", dev + "ttyACM1");
    std::vector<std::pair<unsigned, std::string>> offered;
    for (const ExtraSerialPort& port : extraSerialPorts(listed, 8))
        offered.emplace_back(port.number, port.device);
    EXPECT_EQ(offered,
              (std::vector<std::pair<unsigned, std::string>>{
                  {9, listed[0]}, {12, listed[1]}, {10, listed[2]}, {11, listed[4]}, {13, listed[5]}}));
}

} // namespace
} // namespace zeb::connection
