#include "app/framework/DocumentManager.h"
#include "app/framework/UserMessages.h"
#include "messages/codecs/StandardCodecs.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "terminal/document/CIHTEChildFrame.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEOptionsDialog.h"
#include "terminal/document/CIHTEView.h"
#include "terminal/widgets/CIHTEButtonBar.h"
#include "terminal/widgets/CIHTEPromptDialog.h"
#include "terminal/widgets/CIHTEToolBar.h"
#include "terminal/widgets/CWICOEditor.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/QtWaitFor.h"
#include "testsupport/ScratchHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sstream>

namespace zeb::terminal {
namespace {

namespace fs = std::filesystem;
using testsupport::qtWaitFor;

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// A terminal window on the application connection (stream 65), whose far side is a TCP peer on
// loopback; the data folder holds a button dictionary and an input filter.
class TerminalWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        fs::create_directories(home / "dictionary");
        std::ofstream(home / "dictionary" / "button.ude", std::ios::binary) << "Hello\r\n\t$PKVR,HELLO\r\n";
        std::ofstream(home / "dictionary" / "default.ufl", std::ios::binary) << "x $PKVR,SET,%[Mode],%[Value]\r\n";
        stream::socket::registerSocketTransports();
        codecs::registerMessageCodecs();
        registerTerminalDocumentType();

        connection = std::make_unique<stream::IOSTStream>(65);
        ASSERT_EQ(connection->open(peer.address(), "rb"), stream::StreamStatus::Ok);
        ASSERT_TRUE(qtWaitFor([&] { return peer.connected(); }, "peer.connected()"));
        addTemplate(CIHTEDocument::kKey, QStringLiteral("Terminal"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    CIHTEDocument& openTerminal() { return openDocument<CIHTEDocument>(CIHTEDocument::kKey); }

    // Whether a line of the screen holds `text` in `colour`.
    static bool shows(CIHTEView& view, std::string_view text, std::uint32_t colour)
    {
        const auto& store = view.text().lines();
        for (int i = 0; i < store.lineCount(); ++i) {
            if (store.line(i).find(text) != std::string_view::npos && store.lineColour(i) == colour)
                return true;
        }
        return false;
    }

    void feed(std::string_view bytes)
    {
        connection->feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }

    testsupport::ScratchHome scratch;
    const fs::path& home = scratch.folder();
    testsupport::LoopbackPeer peer;
    std::unique_ptr<stream::IOSTStream> connection;
};

TEST_F(TerminalWindowTest, ShowsReceivedMessagesByCategoryInTheirColours)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(document.title(), "Terminal #65");
    EXPECT_FALSE(view->inactive());

    peer.send("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    ASSERT_TRUE(qtWaitFor([&] { return shows(*view, "$GPGGA,123519", 0xFF0000); },
                          "shows(*view, \"$GPGGA,123519\", 0xFF0000)"));
    // A trace sentence belongs to the trace viewer, not to the terminal.
    peer.send("$PKVR,DEBUG,TRACE,OUTPUT,1,hidden\r\n$GPZDA,1*00\r\n");
    ASSERT_TRUE(qtWaitFor([&] { return shows(*view, "$GPZDA", 0xFF0000); }, "shows(*view, \"$GPZDA\", 0xFF0000)"));
    EXPECT_FALSE(shows(*view, "TRACE", 0xFF0000));

    // RTCM SC-104 messages from a capture: summary lines in yellow.
    const std::string rtcm = readFile(fs::path(ZEB500_CAPTURES) / "rtcm2" / "short.rtcm2");
    ASSERT_FALSE(rtcm.empty());
    peer.send(rtcm);
    ASSERT_TRUE(qtWaitFor([&] { return shows(*view, "Receive message RTCM #", 0x00FFFF); },
                          "shows(*view, \"Receive message RTCM #\", 0x00FFFF)"));
}

TEST_F(TerminalWindowTest, TypedLineArrivesByteExactAndShowsAsSent)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    QLineEdit* input = view->inputLine();
    ASSERT_NE(input, nullptr);
    input->setFocus();
    input->setText(QStringLiteral("AT\\r\\n\\d065\\x42\\\\\\x 02 41 03"));
    QTest::keyClick(input, Qt::Key_Return);
    const std::string expected = std::string("AT\r\nAB\\") + "\x02\x41\x03";
    ASSERT_TRUE(qtWaitFor([&] { return peer.received() == expected; }, "peer.received() == expected"))
        << peer.received();
    // What was sent appears in the send colour of its category.
    peer.send("");
    view->sendTelecommand("$PKVR,SENT\r\n");
    ASSERT_TRUE(
        qtWaitFor([&] { return shows(*view, "$PKVR,SENT", 0x000000); }, "shows(*view, \"$PKVR,SENT\", 0x000000)"));

    view->sendTelecommand("\\xG1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Syntax: '\\r' or '\\n' or '\\\\' or '\\xXX' or '\\dDDD'");
}

TEST_F(TerminalWindowTest, InputFilterAnswerGoesBackThroughThePrompt)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    ASSERT_NE(view, nullptr);
    // The filter's answer has a placeholder: the prompt comes up, the user types 13 and confirms.
    testsupport::DialogAnswers answers;
    answers.next<CIHTEPromptDialog>([](CIHTEPromptDialog& prompt) {
        prompt.edit(1)->setText(QStringLiteral("13"));
        prompt.findChild<QPushButton*>(QStringLiteral("1"))->click();
        return prompt.result();
    });
    peer.send("$PKVR,SET,A,12*3C\r\n");
    ASSERT_TRUE(
        qtWaitFor([&] { return peer.received() == "$PKVR,SET,A,13\r\n"; }, "peer.received() == \"$PKVR,SET,A,13\r\n\""))
        << peer.received();
    EXPECT_EQ(answers.shown(), 1);
}

TEST_F(TerminalWindowTest, PromptsTakeTurnsInDialogsOfTheirOwnWhileTheStreamFlows)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    testsupport::DialogAnswers answers;
    // A sentence the filter answers arrives while the send's prompt is open; its prompt comes next.
    answers.next<CIHTEPromptDialog>([&](CIHTEPromptDialog& prompt) {
        peer.send("$PKVR,SET,A,12\r\n$GPZDA,1*00\r\n");
        EXPECT_TRUE(qtWaitFor([&] { return shows(*view, "$GPZDA", 0xFF0000); }, "the stream to go on"));
        EXPECT_EQ(prompt.shownRows(), 1);
        prompt.edit(0)->setText(QStringLiteral("outer"));
        return QDialog::Accepted;
    });
    answers.next<CIHTEPromptDialog>([&](CIHTEPromptDialog& prompt) {
        peer.send("$GPGGA,2*00\r\n");
        EXPECT_TRUE(qtWaitFor([&] { return shows(*view, "$GPGGA,2", 0xFF0000); }, "the stream to go on"));
        EXPECT_EQ(prompt.shownRows(), 2);
        prompt.edit(1)->setText(QStringLiteral("13"));
        return QDialog::Accepted;
    });
    view->sendTelecommand("$PKVR,OUT,%[Outer]\r\n");
    const std::string expected = "$PKVR,OUT,outer\r\n$PKVR,SET,A,13\r\n";
    ASSERT_TRUE(qtWaitFor([&] { return peer.received() == expected; }, "the send, then the answer")) << peer.received();
}

TEST_F(TerminalWindowTest, APromptForAClosedTerminalIsDropped)
{
    openTerminal();
    testsupport::DialogAnswers none;
    feed("$PKVR,SET,A,12\r\n");
    framework::DocumentManager::instance().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(none.shown(), 0);
}

TEST_F(TerminalWindowTest, AFileWaitsForAPeerThatReadsLaterAndArrivesWhole)
{
    CIHTEView* view = openTerminal().view();
    std::string contents;
    for (int i = 0; contents.size() < (4U << 20); ++i)
        contents += "$PKVR,LINE," + std::to_string(i) + "\r\n";
    std::ofstream(home / "send.txt", std::ios::binary) << contents;
    peer.holdReading(true);
    view->sendFile((home / "send.txt").string());
    ASSERT_NE(view->fileProgress(), nullptr);
    peer.holdReading(false);
    ASSERT_TRUE(qtWaitFor([&] { return peer.received().size() >= contents.size(); }, "the whole file at the peer",
                          std::chrono::seconds(60)));
    EXPECT_TRUE(peer.received() == contents) << "bytes lost or out of order";
    EXPECT_TRUE(qtWaitFor([&] { return !view->fileProgress(); }, "the progress to close"));
}

TEST_F(TerminalWindowTest, ClosingTheTerminalEndsAFileSendThatWaitsForRoom)
{
    CIHTEView* view = openTerminal().view();
    std::ofstream(home / "big.bin", std::ios::binary) << std::string(4U << 20, 'x');
    peer.holdReading(true);
    view->sendFile((home / "big.bin").string());
    framework::DocumentManager::instance().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    peer.holdReading(false);
    // The socket may still be full: the write waits for room.
    connection->write("$PKVR,AFTER\r\n", 500, 20);
    EXPECT_TRUE(qtWaitFor([&] { return peer.received().ends_with("$PKVR,AFTER\r\n"); }, "the stream to go on"));
    EXPECT_LT(peer.received().size(), 4U << 20);
}

TEST_F(TerminalWindowTest, AWorkspacesOptionsStayWithItsTerminal)
{
    // A workspace's terminal that hides received telecommands keeps that to itself.
    auto* loaded = static_cast<CIHTEDocument*>(framework::DocumentManager::instance().createDocument("IHTE"));
    ASSERT_TRUE(loaded->handleLine("$PKVR,RPC,IHTE,OPTION,0,255\r\n"));
    loaded->finishLoading();
    CIHTEDocument& later = openTerminal();
    EXPECT_EQ(later.options(), TerminalOptions()) << "the workspace's options reached the settings";
}

TEST_F(TerminalWindowTest, ClosedTerminalsLeaveNoSubscriberBehind)
{
    const std::size_t before = connection->subscriberCount();
    for (int i = 0; i < 3; ++i)
        openTerminal();
    EXPECT_EQ(connection->subscriberCount(), before + 3);
    framework::DocumentManager::instance().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(connection->subscriberCount(), before);
}

TEST_F(TerminalWindowTest, MemoryStaysFlatUnderAFlood)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    const std::string sentence = "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n";
    auto flood = [&](int count) {
        for (int i = 0; i < count; ++i) {
            feed(sentence);
            if (i % 500 == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    };
    flood(5000);
    const std::size_t before = mallinfo2().uordblks;
    flood(25000);
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_EQ(view->text().lines().lineCount(), 255);
    EXPECT_LT(after, before + 512 * 1024) << "heap grew from " << before << " to " << after;
}

// Scroll-back and scroll-lock, find, suspend, time stamps, checksums and the log file, as a user reaches them.
TEST_F(TerminalWindowTest, ReadsBackFindsSuspendsAndLogsWhileTrafficArrives)
{
    CIHTEDocument& document = openTerminal();
    CIHTEView* view = document.view();
    CIHTEToolBar* bar = static_cast<CIHTEChildFrame*>(document.frame())->terminalToolBar();
    ASSERT_NE(bar, nullptr);
    testsupport::DialogAnswers answers;
    answers.next<CIHTEOptionsDialog>([](CIHTEOptionsDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("timeStamps"))->setChecked(true);
        dialog.findChild<QCheckBox*>(QStringLiteral("nmeaChecksum"))->setChecked(true);
        dialog.findChild<QSpinBox*>(QStringLiteral("scrollBack"))->setValue(400);
        return QDialog::Accepted;
    });
    bar->button("IDI_IHTE_OPTION")->click();
    const fs::path log = home / "terminal.log";
    answers.next<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(log.string()));
        return QDialog::Accepted;
    });
    bar->button("IDI_IHTE_LOG")->click();
    ASSERT_TRUE(bar->button("IDI_IHTE_LOG")->isChecked());

    const auto sentences = [](int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += "$GPZDA," + std::to_string(i) + "*00\r\n";
        return text;
    };
    const ScreenLineStore& lines = view->text().lines();
    const auto lastLineHas = [&](const std::string& text) {
        return lines.line(lines.lineCount() - 1).find(text) != std::string_view::npos;
    };
    peer.send(sentences(0, 300));
    ASSERT_TRUE(qtWaitFor([&] { return lastLineHas("$GPZDA,299*00"); }, "line 299 on screen"));
    EXPECT_EQ(lines.lineCount(), 300) << "more than the default 255 lines kept";
    EXPECT_EQ(lines.line(0).substr(LineStamper::kStampLength), "$GPZDA,0*00") << "time stamped";

    // Reading back with a selection: new lines neither move the view nor drop the selection.
    view->flush();
    view->verticalBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    QWidget* pane = view->pane();
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseMove(pane, QPoint(view->text().cellWidth() * 20, 1));
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(view->text().cellWidth() * 20, 1));
    const std::string firstShown(lines.line(view->text().firstVisibleLine()));
    const std::string selected = view->text().selection().copiedText(lines);
    ASSERT_FALSE(selected.empty());
    peer.send(sentences(300, 420));
    ASSERT_TRUE(qtWaitFor([&] { return lastLineHas("$GPZDA,419*00"); }, "line 419 on screen"));
    EXPECT_EQ(lines.line(view->text().firstVisibleLine()), firstShown);
    EXPECT_EQ(view->text().selection().copiedText(lines), selected);
    EXPECT_EQ(view->text().unseenLines(), 120);
    QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(1, pane->height() - 1));
    EXPECT_TRUE(view->text().following()) << "the click on the count goes back to the newest lines";

    // Suspended, what arrives waits and comes on resume.
    bar->button("IDI_IHTE_SUSPEND")->click();
    peer.send(sentences(420, 425));
    ASSERT_TRUE(qtWaitFor([&] { return view->session().heldLines() == 5; }, "5 lines held while suspended"));
    EXPECT_TRUE(lastLineHas("$GPZDA,419*00"));
    bar->button("IDI_IHTE_SUSPEND")->click();
    EXPECT_TRUE(lastLineHas("$GPZDA,424*00"));

    bar->findText()->setText(QStringLiteral("$gpzda,350*"));
    bar->button("IDI_IHTE_FIND_NEXT")->click();
    EXPECT_EQ(view->text().selection().copiedText(lines), "$GPZDA,350*");

    view->inputLine()->setText(QStringLiteral("$PKVR,X"));
    QTest::keyClick(view->inputLine(), Qt::Key_Return);
    ASSERT_TRUE(qtWaitFor([&] { return peer.received() == "$PKVR,X*6B\r\n"; }, "the checksummed sentence"))
        << peer.received();
    ASSERT_TRUE(qtWaitFor([&] { return lastLineHas("$PKVR,X*6B"); }, "the sent sentence on screen"));
    bar->button("IDI_IHTE_LOG")->click();
    EXPECT_FALSE(bar->button("IDI_IHTE_LOG")->isChecked());
    const std::string logged = readFile(log);
    for (const char* text : {" $GPZDA,0*00\r\n", " $GPZDA,424*00\r\n", " $PKVR,X*6B\r\n"})
        EXPECT_NE(logged.find(text), std::string::npos) << text;

    // The raw log takes the bytes as the receive thread gets them, broken frames included.
    const fs::path raw = home / "raw.log";
    answers.next<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(raw.string()));
        return QDialog::Accepted;
    });
    bar->findChild<QAction*>(QStringLiteral("IDM_IHTE_LOG_RAW"))->trigger();
    const std::string bytes = "\x02\xff" + sentences(500, 501);
    peer.send(bytes);
    ASSERT_TRUE(qtWaitFor([&] { return lastLineHas("$GPZDA,500*00"); }, "line 500 on screen"));
    bar->button("IDI_IHTE_LOG")->click();
    EXPECT_EQ(readFile(raw), bytes);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

} // namespace
} // namespace zeb::terminal
