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

std::shared_ptr<ConnectCommand> ConnectCommand::make(stream::IOSTStream& connection, stream::StreamAddress& address,
                                                     Hooks hooks)
{
    return std::shared_ptr<ConnectCommand>(new ConnectCommand(connection, address, std::move(hooks)));
}

void ConnectCommand::run()
{
    if (m_connection.isOpen())
        m_connection.close();
    const std::string stored
        = platform::Settings::current().readText(platform::Settings::kSection, kPathKey, stream::kDefaultAddressText);
    stream::parseStreamAddress(stored, m_address);
    ask();
}

void ConnectCommand::ask()
{
    if (!m_hooks.runSheet)
        return;
    const std::optional<stream::StreamAddress> chosen = m_hooks.runSheet(m_address, kSheetLetters);
    if (!chosen)
        return;
    m_address = *chosen;
    platform::Settings::current().writeText(platform::Settings::kSection, kPathKey,
                                            stream::formatStreamAddress(m_address));

    if (chosen->type == stream::stream_type::Serial && chosen->serial.baudRate == 0) {
        const int result = m_hooks.autoConnect ? m_hooks.autoConnect(m_address, m_connection)
                                               : static_cast<int>(AutoConnectSequence::Cancelled);
        opened(result == AutoConnectSequence::Answered, *chosen);
        return;
    }
    if (!m_hooks.open) {
        opened(m_connection.open(m_address) == stream::StreamStatus::Ok, *chosen);
        return;
    }
    m_hooks.open(m_address, [self = shared_from_this(), chosen = *chosen](bool ok) { self->opened(ok, chosen); });
}

void ConnectCommand::opened(bool ok, const stream::StreamAddress& chosen)
{
    if (ok) {
        if (m_hooks.connected)
            m_hooks.connected(m_connection);
        return;
    }
    const std::string text = stream::formatStreamAddress(chosen);
    // The search left the last rate it tried in the record; the sheet shows "Auto" again, as chosen.
    m_address = chosen;
    if (m_hooks.showMessage)
        m_hooks.showMessage(failureText(text));
    ask();
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
