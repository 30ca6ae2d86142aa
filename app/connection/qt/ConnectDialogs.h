#pragma once

#include "app/connection/ConnectCommand.h"

#include <functional>

class QWidget;

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::connection {

// The Connect command's hooks on the real dialogs: the property sheet, the auto-connect dialog and a
// warning box, all parented to `parent`. `connected` is told when the connection has opened.
ConnectCommand::Hooks connectDialogHooks(QWidget* parent,
                                         std::function<void(const stream::IOSTStream& connection)> connected);

class ConnectionKeeper;

// The Connect command of the main frame (command 33303): runs the loop on the application connection
// and the application's record with the real dialogs; the keeper opens the connection in the
// background, so the command goes on (or ends) after this returns.
void runConnectCommand(QWidget* parent, ConnectionKeeper& keeper, stream::IOSTStream& connection,
                       stream::StreamAddress& record,
                       std::function<void(const stream::IOSTStream& connection)> connected);

} // namespace zeb::connection
