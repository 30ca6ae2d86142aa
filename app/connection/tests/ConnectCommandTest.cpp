#include "app/connection/ConnectCommand.h"

#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zeb::connection {
namespace {

using stream::StreamAddress;

StreamAddress parsed(std::string_view text)
{
    StreamAddress address;
    stream::parseStreamAddress(text, address);
    return address;
}

// Drives the command's hooks from scripted answers and records what the user would have seen.
class ConnectCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(m_settings);
    }
    void TearDown() override
    {
        m_connection.close();
        platform::Settings::install(std::make_shared<platform::MemorySettings>());
    }

    ConnectCommand::Hooks hooks()
    {
        ConnectCommand::Hooks h;
        h.runSheet = [this](const StreamAddress& address, std::string_view letters) -> std::optional<StreamAddress> {
            shown.push_back(address);
            EXPECT_EQ(letters, "SDCFr");
            if (answers.empty())
                return std::nullopt;
            std::optional<StreamAddress> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        h.autoConnect = [this](StreamAddress& address, stream::IOSTStream&) {
            address.serial.baudRate = 115200;
            return autoResult;
        };
        h.showMessage = [this](const std::string& text) { messages.push_back(text); };
        h.connected = [this](const stream::IOSTStream& connection) { titles.push_back(connection.address()); };
        return h;
    }

    std::string storedPath() const { return m_settings->readText("Settings", "path", "<none>"); }

    std::shared_ptr<platform::MemorySettings> m_settings;
    stream::IOSTStream m_connection{stream::IOSTStream::kAnonymous};
    StreamAddress m_record;

    std::vector<std::optional<StreamAddress>> answers;
    std::vector<StreamAddress> shown;
    std::vector<std::string> messages;
    std::vector<std::string> titles;
    int autoResult = 2;
};

TEST_F(ConnectCommandTest, FailureIsReportedOnceThenTheSheetReturnsWithTheChoiceUntilCancelled)
{
    m_settings->writeText("Settings", "path", "/dev/client/receiver/5000");
    answers = {parsed("/dev/dpram/1"), std::nullopt};

    ConnectCommand::make(m_connection, m_record, hooks())->run();

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].type, stream::stream_type::Client);
    EXPECT_EQ(shown[0].client.host, "receiver");
    EXPECT_EQ(shown[0].client.port, 5000u);
    EXPECT_EQ(shown[1].type, stream::stream_type::Dpram);
    EXPECT_EQ(messages, (std::vector<std::string>{"Connection to\r\n/dev/dpram/1\r\nfailed !"}));
    EXPECT_EQ(storedPath(), "/dev/dpram/1");
    EXPECT_TRUE(titles.empty());
    EXPECT_FALSE(m_connection.isOpen());
    EXPECT_EQ(m_record.type, stream::stream_type::Dpram);
}

TEST_F(ConnectCommandTest, AutoBaudRateRunsTheSearchAndAFailedSearchOffersAutoAgain)
{
    answers = {parsed("/dev/serial/com3,0,7,2.0,E"), std::nullopt};
    autoResult = 2;
    ConnectCommand::make(m_connection, m_record, hooks())->run();
    EXPECT_EQ(messages, (std::vector<std::string>{"Connection to\r\n/dev/serial/com3,0,7,2.0,E\r\nfailed !"}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].serial.baudRate, 0u);
    EXPECT_EQ(storedPath(), "/dev/serial/com3,0,7,2.0,E");

    // An answering rate stays in the record, while "path" keeps "Auto" for the next command.
    answers = {parsed("/dev/serial/com3,0,7,2.0,E")};
    autoResult = 1;
    ConnectCommand::make(m_connection, m_record, hooks())->run();
    EXPECT_EQ(titles.size(), 1u);
    EXPECT_EQ(m_record.serial.baudRate, 115200u);
    EXPECT_EQ(storedPath(), "/dev/serial/com3,0,7,2.0,E");
}

} // namespace
} // namespace zeb::connection
