#include "app/connection/ChoiceTable.h"

#include "platform/MemorySettings.h"

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

TEST(SerialPortIndex, PortsOutsideTheListShowNoSelectionAndConfirmAsPortZero)
{
    EXPECT_EQ(serialPortIndex(8, 8), 7);
    EXPECT_EQ(serialPortIndex(12, 8), ChoiceTable::kNoSelection);
    EXPECT_EQ(serialPortIndex(4'000'000'000u, 8), ChoiceTable::kNoSelection);
    EXPECT_EQ(serialPortFromIndex(ChoiceTable::kNoSelection), 0u);
    EXPECT_EQ(serialPortFromIndex(11), 12u);
}

} // namespace
} // namespace zeb::connection
