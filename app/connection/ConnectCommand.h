#pragma once

#include "stream/StreamAddress.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::connection {

// The Connect command: lets the user choose what the application connection talks to, remembers the
// choice as the settings value "path", and opens the connection, asking again after every failure
// until it succeeds or the user cancels. The dialogs are hooks, so that the loop runs without a
// human in tests; the application fills them with its property sheet, auto-connect dialog and
// message box. Opening may end later (in the background): the command keeps itself alive until
// then, and ends silently when the opening is cancelled.
class ConnectCommand : public std::enable_shared_from_this<ConnectCommand>
{
public:
    static constexpr std::string_view kPathKey = "path";
    static constexpr std::string_view kSheetLetters = "SDCFr";

    struct Hooks
    {
        // Shows the property sheet on a copy of `address` with the pages of `letters`; the edited
        // record when the user confirmed, nothing when cancelled.
        std::function<std::optional<stream::StreamAddress>(const stream::StreamAddress& address,
                                                           std::string_view letters)>
            runSheet;
        // Searches the baud rate of a serial line, changing `address` in place; 1 when a rate answered.
        std::function<int(stream::StreamAddress& address, stream::IOSTStream& connection)> autoConnect;
        // Tells the user a connection failed.
        std::function<void(const std::string& text)> showMessage;
        // The connection is open: the frame shows its address in the title.
        std::function<void(const stream::IOSTStream& connection)> connected;
        // Opens the connection at `address` and calls `done` with the outcome, at once or later on
        // the same thread (never when the user cancels). Without it the connection opens in place.
        std::function<void(const stream::StreamAddress& address, std::function<void(bool opened)> done)> open;
    };

    // `address` is the application's record: the start value of the sheet, kept between commands.
    // Made shared only: an opening that ends later holds the command.
    static std::shared_ptr<ConnectCommand> make(stream::IOSTStream& connection, stream::StreamAddress& address,
                                                Hooks hooks);

    // Runs the command: closes the connection and shows the sheet.
    void run();

    static std::string failureText(std::string_view address);
    // The main frame's title while connected: "<application> - <address>".
    static std::string frameTitle(std::string_view application, std::string_view address);

private:
    ConnectCommand(stream::IOSTStream& connection, stream::StreamAddress& address, Hooks hooks);
    void ask();
    void opened(bool ok, const stream::StreamAddress& chosen);

    stream::IOSTStream& m_connection;
    stream::StreamAddress& m_address;
    Hooks m_hooks;
};

} // namespace zeb::connection
