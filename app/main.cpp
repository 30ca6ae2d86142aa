#include "app/CUTTEApp.h"
#include "platform/Settings.h"
#include "platform/qt/QtDispatcher.h"
#include "platform/qt/QtSettingsStore.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Qt has set the C library's locale from the environment: under a decimal comma, printf and
    // strtod would change every number the workbench stores or sends.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("ZEB500"));

    zeb::platform::Settings::install(std::make_shared<zeb::platform::QtSettingsStore>());
    // The user-interface thread's message targets are served by Qt's event loop.
    zeb::platform::QtDispatcher dispatcher;

    zeb::app::CUTTEApp app;
    if (!app.initInstance(QApplication::arguments().mid(1)))
        return 1;
    // For start-up measurements: leave as soon as the loop has shown the frame.
    if (const char* probe = std::getenv("ZEB500_EXIT_WHEN_SHOWN"); probe && *probe == '1')
        QTimer::singleShot(0, &application, &QApplication::quit);
    return QApplication::exec();
}
