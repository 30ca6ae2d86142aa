#include "app/connection/qt/ConnectDialogs.h"

#include "app/connection/ConnectionKeeper.h"
#include "app/connection/qt/CIHSTPropertySheet.h"
#include "app/connection/qt/CUTTEAutoConnectDialog.h"
#include "app/framework/DialogRunner.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zeb::connection {

ConnectCommand::Hooks connectDialogHooks(QWidget* parent,
                                         std::function<void(const stream::IOSTStream& connection)> connected)
{
    ConnectCommand::Hooks hooks;
    hooks.runSheet = [parent](const stream::StreamAddress& address,
                              std::string_view letters) -> std::optional<stream::StreamAddress> {
        CIHSTPropertySheet sheet(parent);
        sheet.setAddress(address);
        sheet.setReconnect(ConnectionKeeper::reconnectWanted());
        if (sheet.run(letters) != QDialog::Accepted)
            return std::nullopt;
        ConnectionKeeper::setReconnectWanted(sheet.reconnect());
        return sheet.address();
    };
    hooks.autoConnect = [parent](stream::StreamAddress& address, stream::IOSTStream& connection) {
        CUTTEAutoConnectDialog dialog(address, connection, parent);
        return framework::DialogRunner::run(dialog);
    };
    hooks.showMessage = [parent](const std::string& text) {
        // The text keeps its CR LF line ends; a message box wants plain line feeds.
        QString shown = QString::fromStdString(text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), shown, QMessageBox::Ok,
                        parent);
        framework::DialogRunner::run(box);
    };
    hooks.connected = std::move(connected);
    return hooks;
}

void runConnectCommand(QWidget* parent, ConnectionKeeper& keeper, stream::IOSTStream& connection,
                       stream::StreamAddress& record,
                       std::function<void(const stream::IOSTStream& connection)> connected)
{
    keeper.close();
    ConnectCommand::Hooks hooks = connectDialogHooks(parent, std::move(connected));
    hooks.open = [&keeper](const stream::StreamAddress& address, std::function<void(bool opened)> done) {
        keeper.open(address, std::move(done));
    };
    ConnectCommand::make(connection, record, std::move(hooks))->run();
}

} // namespace zeb::connection
