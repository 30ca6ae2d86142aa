#include "app/Commands.h"
#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/tests/ShellFixture.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEDocument.h"
#include "testsupport/CommaDecimalLocale.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/SocatPair.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QToolBar>

#include <fstream>
#include <functional>
#include <sstream>

namespace zeb::app::test {
namespace {

using ShellWorkspaceTest = ShellFixture;

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<TestDocument*> documentsOf(const char* key)
{
    std::vector<TestDocument*> found;
    for (auto* document : framework::DocumentManager::instance().byKey(key)->documents())
        found.push_back(static_cast<TestDocument*>(document));
    return found;
}

TEST_F(ShellWorkspaceTest, ConnectionDrivesCommandsTitleAndActivityPanes)
{
    testsupport::LoopbackPeer peer;
    start();
    EXPECT_TRUE(frame().commandEnabled(command::Connect));
    EXPECT_FALSE(frame().commandEnabled(command::Disconnect));
    EXPECT_FALSE(frame().commandEnabled(33410)) << "needs the connection";
    EXPECT_TRUE(frame().commandEnabled(33411)) << "works without a connection";

    app->connectTo(peer.address());
    ASSERT_TRUE(connectionOpens());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("ZEB500 - ") + QString::fromStdString(peer.address()));
    EXPECT_FALSE(frame().commandEnabled(command::Connect));
    EXPECT_TRUE(frame().commandEnabled(command::Disconnect));
    EXPECT_TRUE(frame().toolbarAction(33410)->isEnabled());

    ASSERT_TRUE(testsupport::qtWaitFor([&] { return peer.connected(); }, "the peer's connection"));
    app->connection().write(std::string_view("$PKVR,RPC,HELLO\r\n"));
    EXPECT_EQ(frame().paneIcon(0), 1);
    ASSERT_TRUE(
        testsupport::qtWaitFor([&] { return peer.received() == "$PKVR,RPC,HELLO\r\n"; }, "the sentence at the peer"));
    ASSERT_TRUE(testsupport::qtWaitFor([&] { return frame().paneIcon(0) == 0; },
                                       "the send pane idle again after the last block"));

    frame().executeCommand(command::Disconnect);
    EXPECT_FALSE(app->connectionOpen());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("ZEB500"));
    EXPECT_TRUE(frame().toolbarAction(command::Connect)->isEnabled());
    EXPECT_FALSE(frame().toolbarAction(33410)->isEnabled());
}

TEST_F(ShellWorkspaceTest, SavedWorkspaceLoadsBackAndSavesIdentically)
{
    testsupport::LoopbackPeer peer;
    start();
    app->connectTo(peer.address());
    ASSERT_TRUE(connectionOpens());
    frame().executeCommand(33410);
    frame().executeCommand(33410);
    frame().executeCommand(33411);
    ASSERT_TRUE(frame().commandEnabled(33400));
    frame().executeCommand(33400);
    ASSERT_TRUE(frame().commandEnabled(33402));
    frame().executeCommand(33402);
    // Both remote display views.
    ASSERT_TRUE(frame().commandEnabled(33403));
    frame().executeCommand(33403);
    ASSERT_TRUE(frame().commandEnabled(33404));
    frame().executeCommand(33404);
    auto* terminal = framework::DocumentManager::instance().byKey("IHTE")->firstDocument();
    ASSERT_NE(terminal, nullptr);
    terminal->frame()->place(QRect(10, 20, 500, 300));
    const terminal::DisplayPair rtcm{3, 0x123456};
    static_cast<terminal::CIHTEDocument*>(terminal)->options().pair(terminal::MessageCategory::RTCM,
                                                                    terminal::Direction::Receive)
        = rtcm;
    auto tests = documentsOf("TEST");
    ASSERT_EQ(tests.size(), 2u);
    tests[0]->setTitle("Receiver, port A");
    tests[0]->note = "first";
    tests[0]->frame()->place(QRect(30, 40, 350, 260));
    auto* second = qobject_cast<QToolBar*>(tests[0]->frame()->bar(TestFrame::kSecondBar));
    ASSERT_NE(second, nullptr);
    tests[0]->frame()->inner()->addToolBar(Qt::LeftToolBarArea, second);
    tests[1]->setTitle("Second");
    tests[1]->setStreamId(300);
    tests[1]->frame()->showWithState(3);
    documentsOf("TSNG").front()->frame()->bar(TestFrame::kMainBar)->hide();

    const auto first = home / "first.ute";
    ASSERT_TRUE(app->saveWorkspace(first.string()));
    EXPECT_EQ(settings->readText("Settings", "workspace", ""), first.string());
    const std::string saved = readFile(first);
    EXPECT_EQ(saved.rfind("$PKVR,RPC,UTTE,VERSION,2\r\n$PKVR,RPC,UTTE,CONNECT,", 0), 0u) << saved;

    frame().executeCommand(command::CloseWorkspace);
    EXPECT_FALSE(app->connectionOpen());
    EXPECT_EQ(framework::DocumentManager::instance().documentCount(), 0u);

    ASSERT_TRUE(app->loadWorkspace(first.string()));
    ASSERT_TRUE(connectionOpens());
    EXPECT_EQ(app->connection().address(), peer.address());
    tests = documentsOf("TEST");
    ASSERT_EQ(tests.size(), 2u);
    EXPECT_EQ(tests[0]->title(), "Receiver, port A");
    EXPECT_EQ(tests[0]->note, "first");
    EXPECT_EQ(tests[0]->frame()->normalPlacement(), QRect(30, 40, 350, 260));
    EXPECT_EQ(
        tests[0]->frame()->inner()->toolBarArea(qobject_cast<QToolBar*>(tests[0]->frame()->bar(TestFrame::kSecondBar))),
        Qt::LeftToolBarArea);
    EXPECT_EQ(tests[1]->streamId(), 300u);
    EXPECT_EQ(tests[1]->frame()->showState(), 3);
    ASSERT_EQ(documentsOf("TSNG").size(), 1u);
    EXPECT_FALSE(documentsOf("TSNG").front()->frame()->bar(TestFrame::kMainBar)->isVisible());
    terminal = framework::DocumentManager::instance().byKey("IHTE")->firstDocument();
    ASSERT_NE(terminal, nullptr);
    EXPECT_NE(framework::DocumentManager::instance().byKey("IHDM")->firstDocument(), nullptr);
    EXPECT_NE(framework::DocumentManager::instance().byKey("IHAQ")->firstDocument(), nullptr);
    EXPECT_NE(framework::DocumentManager::instance().byKey("IHIM")->firstDocument(), nullptr);
    EXPECT_EQ(terminal->frame()->normalPlacement(), QRect(10, 20, 500, 300));
    EXPECT_EQ(static_cast<terminal::CIHTEDocument*>(terminal)->options().pair(terminal::MessageCategory::RTCM,
                                                                              terminal::Direction::Receive),
              rtcm);

    const auto again = home / "again.ute";
    ASSERT_TRUE(app->saveWorkspace(again.string()));
    EXPECT_EQ(readFile(again), saved);
    EXPECT_EQ(app->recentFiles().entries().front(), first.string());
}

TEST_F(ShellWorkspaceTest, ClosingTheFrameSavesPlacementAndWorkspaceForTheNextStart)
{
    testsupport::LoopbackPeer peer;
    // A fresh start: the data folder does not exist yet, and serving another folder makes none.
    const auto data = home / "data";
    setenv("ZEB500_HOME", data.c_str(), 1);
    settings->writeText("Settings", "remoteRoot", (home / "served").string());
    start();
    app->connectTo(peer.address());
    ASSERT_TRUE(connectionOpens());
    frame().executeCommand(33410);
    frame().move(50, 60);
    frame().resize(700, 500);
    frame().close();
    EXPECT_TRUE(std::filesystem::is_regular_file(data / "default.ute"));
    stop();

    start();
    EXPECT_EQ(frame().pos(), QPoint(50, 60));
    EXPECT_EQ(frame().size(), QSize(700, 500));
    EXPECT_TRUE(connectionOpens());
    EXPECT_EQ(documentsOf("TEST").size(), 1u) << readFile(data / "default.ute");
}

TEST_F(ShellWorkspaceTest, QuittingNeverReplacesTheLastWorkspaceWithOneNotLoadedFromIt)
{
    testsupport::LoopbackPeer peer;
    const auto last = home / "last.ute";
    std::ofstream(last, std::ios::binary) << "$PKVR,RPC,UTTE,VERSION,2\r\n$PKVR,RPC,UTTE,CONNECT," << peer.address()
                                          << "\r\n$PKVR,RPC,DOCUMENT,BEGIN,\"TSNG\"\r\n$PKVR,RPC,DOCUMENT,END\r\n";
    const std::string lastText = readFile(last);
    const auto badVersion = home / "bad.ute";
    std::ofstream(badVersion, std::ios::binary) << "$PKVR,RPC,UTTE,VERSION,1\r\n";
    const auto typo = home / "typo.ute";
    const std::vector<std::function<void()>> emptied{
        [&] { start({QString::fromStdString(typo.string())}); },
        [&] { start().loadWorkspace(badVersion.string()); },
        [&] {
            start();
            frame().executeCommand(command::CloseWorkspace);
        },
    };
    for (std::size_t i = 0; i < emptied.size(); ++i) {
        settings->writeText("Settings", "workspace", last.string());
        emptied[i]();
        frame().close();
        stop();
        EXPECT_EQ(readFile(last), lastText) << "case " << i;
    }
    EXPECT_EQ(readFile(typo), "$PKVR,RPC,UTTE,VERSION,2\r\n") << "a new name is the workspace saved";
}

TEST_F(ShellWorkspaceTest, StoredPlacementsStayReachableAndTheWindowMenuArrangesAndListsWindows)
{
    testsupport::LoopbackPeer peer;
    settings->writeInt("Settings", "x", 2147483600);
    settings->writeInt("Settings", "y", -2147483600);
    const auto far = home / "far.ute";
    std::ofstream(far, std::ios::binary)
        << "$PKVR,RPC,UTTE,VERSION,2\r\n$PKVR,RPC,UTTE,CONNECT," << peer.address() << "\r\n"
        << "$PKVR,RPC,DOCUMENT,BEGIN,\"TEST\"\r\n$PKVR,RPC,FRAME,\"far\",2147483600,-2147483600,400,200,1\r\n"
        << "$PKVR,RPC,DOCUMENT,END\r\n$PKVR,RPC,DOCUMENT,BEGIN,\"TEST\"\r\n$PKVR,RPC,FRAME,\"near\",0,0,400,200,1\r\n"
        << "$PKVR,RPC,DOCUMENT,END\r\n";
    start({QString::fromStdString(far.string())});
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(QRect(frame().pos(), frame().size())));
    const auto tests = documentsOf("TEST");
    ASSERT_EQ(tests.size(), 2u);
    const QRect area = frame().documentArea()->viewport()->rect();
    EXPECT_TRUE(area.contains(tests[0]->frame()->geometry())) << "the far window";

    auto* menu = frame().findChild<QMenu*>(QStringLiteral("windowMenu"));
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>(QStringLiteral("tile"))->trigger();
    EXPECT_FALSE(tests[0]->frame()->geometry().intersects(tests[1]->frame()->geometry()));
    Q_EMIT menu->aboutToShow();
    const auto listed = menu->actions(); // cascade, tile, separator, then the windows
    ASSERT_EQ(listed.size(), 5);
    EXPECT_EQ(listed[3]->text(), QStringLiteral("&1 far"));
    listed[3]->trigger();
    EXPECT_EQ(frame().documentArea()->activeSubWindow(), tests[0]->frame());
}

TEST_F(ShellWorkspaceTest, SerialAddressSurvivesSaveAndLoadUnderACommaDecimalLocale)
{
    const testsupport::CommaDecimalLocale french;
    if (french.noLocaledef())
        GTEST_SKIP() << french.problem();
    ASSERT_TRUE(french.active()) << french.problem();
    stream::serial::testing::SocatPair line;
    ASSERT_TRUE(line.ready()) << "socat made no pseudo-terminal pair";
    settings->writeText("SerialPorts", "COM1", line.endA());
    start();
    const std::string address = "/dev/serial/com1,9600,8,1.0,N";
    app->connectTo(address);
    ASSERT_TRUE(connectionOpens());
    const auto saved = home / "serial.ute";
    ASSERT_TRUE(app->saveWorkspace(saved.string()));
    EXPECT_NE(readFile(saved).find(address), std::string::npos) << readFile(saved);
    ASSERT_TRUE(app->loadWorkspace(saved.string()));
    EXPECT_TRUE(connectionOpens());
    EXPECT_EQ(app->connection().address(), address);
}

} // namespace
} // namespace zeb::app::test
