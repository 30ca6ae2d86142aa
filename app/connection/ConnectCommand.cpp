#include "app/connection/ConnectCommand.h"

#include "app/connection/AutoConnectSequence.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "text/Format.h"

#include <utility>

namespace zeb::connection {

ConnectCommand::ConnectCommand(stream::IOSTStream& connection, stream::StreamAddress& address, Hooks hooks)
    : m_connection(connection)
    , m_address(address)
    , m_hooks(std::move(hooks))
{
}

bool ConnectCommand::run()
{
    m_connection.close();
    platform::Settings& settings = platform::Settings::current();
    const std::string stored = settings.readText(platform::Settings::kSection, kPathKey, stream::kDefaultAddressText);
    stream::parseStreamAddress(stored, m_address);

    for (;;) {
        if (!m_hooks.runSheet)
            return false;
        const std::optional<stream::StreamAddress> chosen = m_hooks.runSheet(m_address, kSheetLetters);
        if (!chosen)
            return false;
        m_address = *chosen;
        const std::string text = stream::formatStreamAddress(m_address);
        settings.writeText(platform::Settings::kSection, kPathKey, text);

        if (connect(*chosen)) {
            if (m_hooks.connected)
                m_hooks.connected(m_connection);
            return true;
        }
        if (m_hooks.showMessage)
            m_hooks.showMessage(failureText(text));
    }
}

bool ConnectCommand::connect(const stream::StreamAddress& chosen)
{
    if (chosen.type != stream::stream_type::Serial || chosen.serial.baudRate != 0)
        return m_connection.open(m_address) == stream::StreamStatus::Ok;

    const int result = m_hooks.autoConnect ? m_hooks.autoConnect(m_address, m_connection)
                                           : static_cast<int>(AutoConnectSequence::Cancelled);
    if (result == AutoConnectSequence::Answered)
        return true;
    // The search left the last rate it tried in the record; the sheet shows "Auto" again, as chosen.
    m_address = chosen;
    return false;
}

std::string ConnectCommand::failureText(std::string_view address)
{
    return text::format("Connection to\r\n%s\r\nfailed !", std::string(address).c_str());
}

std::string ConnectCommand::frameTitle(std::string_view application, std::string_view address)
{
    return text::format("%s - %s", std::string(application).c_str(), std::string(address).c_str());
}

} // namespace zeb::connection
