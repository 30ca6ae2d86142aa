#include "app/connection/qt/ConnectDialogs.h"

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
        if (sheet.run(letters) != QDialog::Accepted)
            return std::nullopt;
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

bool runConnectCommand(QWidget* parent, stream::IOSTStream& connection, stream::StreamAddress& record,
                       std::function<void(const stream::IOSTStream& connection)> connected)
{
    ConnectCommand command(connection, record, connectDialogHooks(parent, std::move(connected)));
    return command.run();
}

} // namespace zeb::connection
