#include "app/Commands.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/Resources.h"
#include "app/tests/ShellFixture.h"
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

#include <fstream>

namespace zeb::app::test {
namespace {

using StartupTest = ShellFixture;

void writeWorkspace(const std::filesystem::path& path, const std::string& connect)
{
    std::ofstream file(path, std::ios::binary);
    file << "$PKVR,RPC,UTTE,VERSION,2\r\n$PKVR,RPC,UTTE,CONNECT," << connect << "\r\n";
}

TEST_F(StartupTest, RunsItsStepsInOrderAndShowsTheFrame)
{
    start();
    ASSERT_TRUE(started);
    const std::vector<std::string> expected{"system",     "registries", "connection", "settings", "home",
                                            "language",   "icons",      "font",       "frame",    "placement",
                                            "extensions", "templates",  "toolbar",    "workspace"};
    EXPECT_EQ(app->startupTrace(), expected);
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("ZEB500"));
    // No placement saved yet: 600 x 600 at the origin.
    EXPECT_EQ(frame().size(), QSize(600, 600));
    EXPECT_EQ(frame().pos(), QPoint(0, 0));
    EXPECT_EQ(frame().centralWidget(), frame().documentArea());
    EXPECT_EQ(app->connection().identifier(), 65);
    EXPECT_EQ(stream::StreamRegistry::instance().byIdentifier(65), &app->connection());
    EXPECT_EQ(settings->readText("Settings", "homeDirectory", ""), home.string());
}

TEST_F(StartupTest, ToolbarHasOneButtonPerTemplateWithTheTypeImage)
{
    start();
    QToolBar* toolbar = frame().documentToolbar();
    ASSERT_NE(toolbar, nullptr);
    // Twelve document types and the two test types.
    ASSERT_EQ(toolbar->actions().size(), 14);
    const int expected[]
        = {33303, 33304, 33400, 33401, 33402, 33403, 33404, 33405, 33406, 33407, 33408, 33409, 33410, 33411};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(toolbar->actions()[i]->data().toInt(), expected[i]);
    EXPECT_EQ(toolbar->iconSize(), QSize(32, 32));
    EXPECT_FALSE(toolbar->actions()[2]->icon().isNull());
    EXPECT_EQ(toolbar->objectName(), QStringLiteral("59392"));
}

TEST_F(StartupTest, FirstStartAsksForTheLanguageAndStoresTheChoice)
{
    settings->writeText("Settings", "language", "");
    CUTTEApp candidate;
    int asked = 0;
    candidate.setWelcomeChooser([&] {
        ++asked;
        return 1100; // the third button
    });
    app.reset();
    ASSERT_TRUE(candidate.initInstance({}));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(settings->readText("Settings", "language", ""), "ESP");
    ASSERT_NE(candidate.resourceLibrary(), nullptr);
    EXPECT_EQ(language::Resources::string(33311), QStringLiteral("Español"));
}

TEST_F(StartupTest, LanguageWithoutItsLibraryAsksAgain)
{
    settings->writeText("Settings", "language", "XYZ");
    CUTTEApp candidate;
    int asked = 0;
    candidate.setWelcomeChooser([&] {
        ++asked;
        return 0; // closed without a choice
    });
    ASSERT_TRUE(candidate.initInstance({}));
    EXPECT_EQ(asked, 1);
    // Nothing chosen: the setting stays, and the workbench still runs with a library.
    EXPECT_EQ(settings->readText("Settings", "language", ""), "XYZ");
    EXPECT_NE(candidate.resourceLibrary(), nullptr);
}

TEST_F(StartupTest, WithoutAnyLanguageLibraryStartUpFails)
{
    const std::string saved = std::getenv("ZEB500_ASSETS") ? std::getenv("ZEB500_ASSETS") : "";
    setenv("ZEB500_ASSETS", (home / "no-assets").c_str(), 1);
    start();
    setenv("ZEB500_ASSETS", saved.c_str(), 1);
    EXPECT_FALSE(started);
    EXPECT_EQ(app->mainFrame(), nullptr);
}

TEST_F(StartupTest, CommandLineWorkspaceWinsOverTheStoredOne)
{
    const auto stored = home / "stored.ute";
    const auto named = home / "named.ute";
    std::ofstream(home / "a.bin") << "a";
    std::ofstream(home / "b.bin") << "b";
    writeWorkspace(stored, (home / "a.bin").string());
    writeWorkspace(named, (home / "b.bin").string());
    settings->writeText("Settings", "workspace", stored.string());

    start({QString::fromStdString(named.string())});
    EXPECT_EQ(app->connection().address(), (home / "b.bin").string());
    EXPECT_EQ(app->workspacePath(), named.string());
    EXPECT_EQ(frame().windowTitle(),
              QStringLiteral("ZEB500 - %1").arg(QString::fromStdString((home / "b.bin").string())));
    stop();

    start();
    EXPECT_EQ(app->connection().address(), (home / "a.bin").string());
    stop();

    settings->writeInt("Settings", "loadWorkspaceOnStartup", 0);
    start();
    EXPECT_FALSE(app->connectionOpen());
    // A name that is not a regular file is silently not loaded.
    stop();
    start({QString::fromStdString(home.string())});
    EXPECT_FALSE(app->connectionOpen());
    EXPECT_TRUE(messages.empty());
}

TEST_F(StartupTest, ExtensionsAreWelcomedWithTheFrameHandle)
{
    std::filesystem::create_directories(home / "extension");
    std::filesystem::copy_file(ZEB_EXAMPLE_EXTENSION, home / "extension" / "example.so");
    unsetenv("ZEB500_EXAMPLE_WELCOMED");
    start();
    const char* welcomed = std::getenv("ZEB500_EXAMPLE_WELCOMED");
    ASSERT_NE(welcomed, nullptr);
    EXPECT_EQ(std::string(welcomed), std::to_string(frame().handle()));
}

TEST_F(StartupTest, MenusComeFromTheLanguageLibrary)
{
    start();
    for (int id : {command::OpenWorkspace, command::SaveWorkspace, command::Connect, command::Disconnect,
                   command::Properties, command::About})
        EXPECT_NE(frame().menuAction(id), nullptr) << id;
    EXPECT_FALSE(frame().menuBar()->actions().isEmpty());
}

} // namespace
} // namespace zeb::app::test
