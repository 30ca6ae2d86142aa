#include "app/CUTTEApp.h"
#include "platform/DetachedWork.h"
#include "platform/Settings.h"
#include "platform/qt/QtDispatcher.h"
#include "platform/qt/QtSettingsStore.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Started straight from the build tree (build/app/zeb500), the workbench finds the language
// libraries the build put beside it; an installed copy never looks into the build tree.
void addBuildTreeAssets()
{
#if defined(ZEB500_BUILD_EXECUTABLE) && defined(ZEB500_BUILD_ASSETS)
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error || self != std::filesystem::weakly_canonical(ZEB500_BUILD_EXECUTABLE, error))
        return;
    const char* given = std::getenv("ZEB500_ASSETS");
    const std::string assets
        = given && *given ? std::string(given) + ":" + ZEB500_BUILD_ASSETS : std::string(ZEB500_BUILD_ASSETS);
    ::setenv("ZEB500_ASSETS", assets.c_str(), 1);
#endif
}

// The workbench from start to quit; everything it made is gone when this returns.
int runWorkbench(int argc, char** argv)
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

} // namespace

int main(int argc, char** argv)
{
    addBuildTreeAssets();
    const int code = runWorkbench(argc, argv);
    // Connection attempts abandoned by closed windows may still be closing on their threads.
    return zeb::platform::DetachedWork::settleBeforeExit(code, std::chrono::seconds(3));
}
