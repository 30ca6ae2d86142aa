// Makes the manual's pictures from the real windows, offscreen: the workbench with a terminal
// on a receiver (the simulator), each window on that receiver alone, and the documentation
// browser on the introduction.
// Usage: zeb500-screenshots OUTPUT-FOLDER ADDRESS (run with QT_QPA_PLATFORM=offscreen; the
// manual must be among the assets so that the browser has a page to show).
#include "app/CUTTEApp.h"
#include "app/CUTTEMainFrame.h"
#include "app/Commands.h"
#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCODocument.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DocumentManager.h"
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "platform/qt/QtDispatcher.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Lets the windows lay out and the terminal show what the capture brings.
void settle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& widget, const QString& path)
{
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "zeb500-screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

// The windows pictured one by one: the command that opens each and the picture's name.
struct WindowPicture
{
    int command;
    const char* name;
};

constexpr WindowPicture kWindowPictures[] = {
    {33408, "trace.png"},   {33401, "explorer.png"},   {33407, "heading.png"},
    {33406, "skyplot.png"}, {33404, "frontpanel.png"},
};

// Opens the window, lets it get the receiver's answers, pictures it maximised and closes it.
bool pictureWindow(zeb::app::CUTTEMainFrame& frame, const WindowPicture& picture, const QString& output)
{
    frame.executeCommand(picture.command);
    settle(2500);
    QMdiSubWindow* window = frame.documentArea()->activeSubWindow();
    if (!window) {
        std::fprintf(stderr, "zeb500-screenshots: command %d opened no window\n", picture.command);
        return false;
    }
    window->showMaximized();
    settle(300);
    const bool saved = save(*window, output + QLatin1Char('/') + QLatin1String(picture.name));
    window->close();
    settle(300);
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Usage: zeb500-screenshots OUTPUT-FOLDER ADDRESS\n");
        return 2;
    }
    char pattern[] = "/tmp/zeb500-screenshots-XXXXXX";
    const char* home = ::mkdtemp(pattern);
    if (!home)
        return 1;
    ::setenv("ZEB500_HOME", home, 1);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    auto settings = std::make_shared<zeb::platform::MemorySettings>();
    settings->writeText("Settings", "language", "ENU");
    zeb::platform::Settings::install(settings);
    zeb::platform::QtDispatcher dispatcher;

    zeb::app::CUTTEApp app;
    if (!app.initInstance({}))
        return 1;
    zeb::app::CUTTEMainFrame& frame = *app.mainFrame();
    frame.resize(1000, 700);
    const QString output = QString::fromLocal8Bit(argv[1]);

    app.connectTo(argv[2]);
    const QDeadlineTimer connecting(10000);
    while (!app.connectionOpen() && !connecting.hasExpired())
        settle(50);
    frame.executeCommand(zeb::app::command::FirstNewDocument);
    settle(3000);
    frame.documentArea()->tileSubWindows();
    settle(300);
    bool saved = save(frame, output + QStringLiteral("/workbench.png"));

    for (const WindowPicture& picture : kWindowPictures)
        saved = pictureWindow(frame, picture, output) && saved;

    frame.executeCommand(zeb::app::command::Documentation);
    settle(500);
    QMdiSubWindow* browser = frame.documentArea()->activeSubWindow();
    if (browser) {
        browser->showMaximized();
        settle(300);
        saved = save(*browser, output + QStringLiteral("/browser.png")) && saved;
    }
    return saved && browser ? 0 : 1;
}
