#include "app/framework/CIHCOChildFrame.h"
#include "autotest/core/OutputQueue.h"
#include "autotest/core/RunController.h"
#include "autotest/core/TestFiles.h"
#include "autotest/core/WindowHost.h"
#include "autotest/document/CIHTLChildFrame.h"
#include "autotest/document/CIHTLDocument.h"
#include "autotest/document/CIHTLEditor.h"
#include "autotest/document/CIHTLView.h"
#include "autotest/document/OutputPane.h"
#include "documentation/browser/window/CIHWBDocument.h"
#include "platform/Environment.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zeb::autotest {
namespace {

using testsupport::qtWaitFor;
using namespace std::chrono_literals;

class AutotestWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        environment.set(platform::Environment::kHomeVariable, home.path().c_str());
        registerAutomaticTestDocumentType();
        addTemplate(CIHTLDocument::kKey, QStringLiteral("Automatic test"));
    }

    CIHTLChildFrame& frameOf(CIHTLDocument& document) { return *qobject_cast<CIHTLChildFrame*>(document.frame()); }

    // A new document with `text` in its editor.
    CIHTLDocument& openScript(const QString& text)
    {
        auto& document = openDocument<CIHTLDocument>(CIHTLDocument::kKey);
        document.view()->editor()->setPlainText(text);
        return document;
    }

    static QString outputOf(CIHTLDocument& document)
    {
        return qobject_cast<CIHTLChildFrame*>(document.frame())->outputPane()->toPlainText();
    }

    static bool stopped(CIHTLDocument& document) { return document.view()->state() == CIHTLView::State::Stopped; }

    testsupport::TempFolder home;
    testsupport::ScopedEnvironment environment;
};

TEST_F(AutotestWindowTest, RunShowsTheOutputAndTheListingOfMainThenReturnsToStopped)
{
    auto& document = openScript(QStringLiteral("main {\n\t\"\\4 kept\" printLine;\n\t(6 * 7) printLine;\n}\n"));
    CIHTLChildFrame& frame = frameOf(document);
    EXPECT_EQ(document.title(), "Untitled");
    EXPECT_TRUE(frame.command("run")->isEnabled());
    EXPECT_FALSE(frame.command("stop")->isEnabled());

    frame.command("run")->trigger();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(document) && outputOf(document).contains(QStringLiteral("42")); },
                          "the script's output"));
    // Byte 4 at the start of a printed text is output, not a request to clear the pane.
    EXPECT_EQ(outputOf(document), QStringLiteral("\x04 kept\n42\n").remove(1, 1));
    EXPECT_TRUE(frame.assemblyPane()->toPlainText().startsWith(QStringLiteral("0000 ")));
    EXPECT_FALSE(document.view()->editor()->isReadOnly());
    EXPECT_TRUE(frame.command("run")->isEnabled());

    // A second run starts with a clear pane.
    frame.command("run")->trigger();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(document); }, "the second run's end"));
    ASSERT_TRUE(qtWaitFor([&] { return outputOf(document).count(QStringLiteral("42")) == 1; }, "one run's output"));
}

TEST_F(AutotestWindowTest, ASyntaxErrorMarksItsLineAndPlacesTheCaret)
{
    auto& document = openScript(QStringLiteral("main {\n\t1 + ;\n}\n"));
    CIHTLChildFrame& frame = frameOf(document);
    frame.assemblyPane()->append(QStringLiteral("earlier listing"));
    document.view()->run();
    EXPECT_TRUE(stopped(document));
    EXPECT_TRUE(outputOf(document).startsWith(QStringLiteral("Syntax error at line #2:")))
        << outputOf(document).toStdString();
    CIHTLEditor& editor = *document.view()->editor();
    EXPECT_EQ(editor.errorLine(), 1);
    EXPECT_EQ(editor.textCursor().blockNumber(), 1);
    EXPECT_FALSE(editor.isReadOnly());

    // A script without main compiles, runs nothing and leaves the Assembly pane as it was.
    editor.setPlainText(QStringLiteral("helper { 1; }"));
    document.view()->run();
    EXPECT_TRUE(stopped(document));
    EXPECT_EQ(frame.assemblyPane()->toPlainText(), QStringLiteral("earlier listing"));
    EXPECT_EQ(editor.errorLine(), -1);
}

TEST_F(AutotestWindowTest, StopEndsALoopWithinASecondAndTheOutputStaysBounded)
{
    auto& document = openScript(QStringLiteral("main { local i; while (1) { i printLine; i++; } }"));
    CIHTLChildFrame& frame = frameOf(document);
    frame.command("run")->trigger();
    ASSERT_FALSE(stopped(document));
    EXPECT_TRUE(document.view()->editor()->isReadOnly());
    EXPECT_TRUE(frame.command("stop")->isEnabled());
    ASSERT_TRUE(
        qtWaitFor([&] { return frame.outputPane()->blockCount() >= OutputPane::kMaxLines; }, "a full Output pane"));
    frame.command("stop")->trigger();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(document); }, "the stopped run", 1s));
    EXPECT_LE(frame.outputPane()->blockCount(), OutputPane::kMaxLines);
    EXPECT_FALSE(document.view()->editor()->isReadOnly());
}

TEST_F(AutotestWindowTest, ClosingARunningDocumentStopsItsScriptAndAnswersItsMessageBox)
{
    auto& document = openScript(QStringLiteral("main { while (1) ; }"));
    document.view()->run();
    ASSERT_FALSE(stopped(document));
    // A script thread waiting in a message box when the window closes.
    std::atomic<int> answer{-1};
    std::thread asker([&answer, host = document.view()->host()] { answer = host->question("Still there?") ? 1 : 0; });
    QPointer<QObject> frame = document.frame();
    testsupport::DialogAnswers answers;
    // The window goes while its box is shown (as a close from the box's own event loop would).
    answers.next<QMessageBox>([&](QMessageBox&) {
        delete frame.data();
        return QMessageBox::Yes;
    });
    ASSERT_TRUE(qtWaitFor([&] { return frame.isNull(); }, "the closed window", 3s));
    asker.join();
    EXPECT_EQ(answer.load(), 0);
    EXPECT_EQ(answers.shown(), 1);
}

TEST_F(AutotestWindowTest, MessageBoxesAndButtonsOfAScriptAreShownOnTheWindowsThread)
{
    auto& document = openScript(QStringLiteral("local b;\nmain {\n\t(\"Go on?\" question) printLine;\n\t\"Done\" "
                                               "notify;\n\tb = Button new;\n\tb close;\n}\n"));
    testsupport::DialogAnswers answers;
    answers.next<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), QStringLiteral("Go on?"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        return QMessageBox::Yes;
    });
    answers.next<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        return QMessageBox::Ok;
    });
    document.view()->run();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(document); }, "the script's end"));
    EXPECT_EQ(outputOf(document), QStringLiteral("1\n"));
    // The button was made and hidden, then went with the run.
    ASSERT_TRUE(qtWaitFor([&] { return document.view()->buttons().empty(); }, "the button's end with the run"));

    qint64 ended = 0;
    QObject::connect(document.view(), &CIHTLView::scriptThreadEnded, [&](qint64 window) { ended = window; });
    document.view()->host()->threadDone(7, {});
    ASSERT_TRUE(qtWaitFor([&] { return ended == 7; }, "ON_THREAD_DONE of a script thread"));
}

TEST_F(AutotestWindowTest, SaveNamesTheFileAndTheWorkspaceBringsItBack)
{
    auto& document = openScript(QStringLiteral("main { \"from file\" printLine; }"));
    testsupport::DialogAnswers answers;
    const std::string folder = TestFiles::folder();
    answers.next<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose a test file"));
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), folder);
        dialog.selectFile(QString::fromStdString(folder + "/my.tests/check"));
        return QDialog::Accepted;
    });
    frameOf(document).command("save")->trigger();
    const std::string saved = folder + "/my.tests/check.utl";
    EXPECT_EQ(document.path(), saved);
    EXPECT_EQ(document.title(), "check.utl");
    EXPECT_EQ(TestFiles::read(saved), "main { \"from file\" printLine; }");

    // A name holding a quote is refused with a message: the workspace line could not carry it.
    EXPECT_FALSE(document.view()->saveAs(folder + "/a\"b.utl"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("quote"), std::string::npos);
    EXPECT_EQ(document.path(), saved);

    const std::vector<std::string> lines = writtenLines(document, home.path() / "workspace.part");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "$PKVR,RPC,IHTL,PATH,\"" + saved + "\"\r\n");
    closeDocuments();
    addTemplate(CIHTLDocument::kKey, QStringLiteral("Automatic test"));
    auto& again = openDocument<CIHTLDocument>(CIHTLDocument::kKey, lines);
    EXPECT_EQ(again.path(), saved);
    EXPECT_EQ(again.view()->editor()->toPlainText(), QStringLiteral("main { \"from file\" printLine; }"));
    again.view()->run();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(again) && outputOf(again).contains(QStringLiteral("from file")); },
                          "the reloaded script's output"));
}

TEST_F(AutotestWindowTest, TheEditorIndentsWithTabsAndKeepsLineMarkers)
{
    auto& document = openScript(QString());
    CIHTLEditor& editor = *document.view()->editor();
    editor.setFocus();
    QTest::keyClicks(&editor, QStringLiteral("main {"));
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, QStringLiteral("x;"));
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, QStringLiteral("}"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("main {\n\tx;\n}"));

    frameOf(document).command("toggleMarker")->trigger();
    EXPECT_EQ(editor.markers(), std::set<int>{2});
    editor.moveCursor(QTextCursor::Start);
    frameOf(document).command("nextMarker")->trigger();
    EXPECT_EQ(editor.textCursor().blockNumber(), 2);
    frameOf(document).command("toggleMarker")->trigger();
    EXPECT_TRUE(editor.markers().empty());
}

TEST_F(AutotestWindowTest, HelpOpensTheScriptLanguagePageInTheBrowser)
{
    documentation::registerBrowserDocumentType();
    addTemplate(documentation::CIHWBDocument::kKey, QStringLiteral("Documentation"));
    auto& document = openScript(QString());
    frameOf(document).command("help")->trigger();
    auto* browser = framework::DocumentManager::instance().byKey("IHWB");
    ASSERT_NE(browser->firstDocument(), nullptr);
    const auto* page = qobject_cast<documentation::CIHWBDocument*>(browser->firstDocument());
    EXPECT_TRUE(page->address().ends_with("/scripts.html")) << page->address();
}

// Whether the script library offers the Stream class the examples talk to the receiver with.
bool scriptsHaveStreams()
{
    auto output = std::make_shared<OutputQueue>();
    RunController controller(output);
    controller.prepare("main { Stream print; }");
    controller.runHere();
    return output->take() == "Stream";
}

// A shipped example, named as the demo workspace names it, run against the simulated receiver.
TEST_F(AutotestWindowTest, AnExampleFromTheWorkspaceQueriesTheSimulatedReceiver)
{
    auto& document
        = openDocument<CIHTLDocument>(CIHTLDocument::kKey, {"$PKVR,RPC,IHTL,PATH,\"test/examples/query-gsv.utl\"\r\n"});
    EXPECT_EQ(document.title(), "query-gsv.utl");
    ASSERT_TRUE(document.view()->editor()->toPlainText().contains(QStringLiteral("$ECGPQ,GSV")));
    if (!scriptsHaveStreams())
        GTEST_SKIP() << "the script library has no Stream class yet";
    stream::socket::registerSocketTransports();
    testsupport::PortPrintingProcess simulator({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "20", ZEB500_SIM_LOG});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";
    stream::IOSTStream connection(65);
    ASSERT_EQ(connection.open("/dev/client/localhost/" + std::to_string(simulator.port()), "rb"),
              stream::StreamStatus::Ok);
    document.view()->run();
    ASSERT_TRUE(qtWaitFor([&] { return stopped(document); }, "the example's end"));
    EXPECT_TRUE(outputOf(document).contains(QStringLiteral("$GPGSV,"))) << outputOf(document).toStdString();
    EXPECT_TRUE(outputOf(document).contains(QStringLiteral("PASS:"))) << outputOf(document).toStdString();
    closeDocuments();
}

} // namespace
} // namespace zeb::autotest
