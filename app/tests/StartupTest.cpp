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

} // namespace
} // namespace zeb::app::test
