#include "app/CUTTEMainFrame.h"
#include "platform/Settings.h"
#include "platform/qt/QtDispatcher.h"
#include "platform/qt/QtSettingsStore.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("ZEB500"));

    zeb::platform::Settings::install(std::make_shared<zeb::platform::QtSettingsStore>());
    // The user-interface thread's message targets are served by Qt's event loop.
    zeb::platform::QtDispatcher dispatcher;

    zeb::app::CUTTEMainFrame frame;
    frame.show();
    return QApplication::exec();
}
