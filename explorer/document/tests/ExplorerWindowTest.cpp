#include "explorer/core/RemoteFolder.h"
#include "explorer/document/CIHEXCopyDialog.h"
#include "explorer/document/CIHEXDocument.h"
#include "explorer/document/CIHEXView.h"
#include "explorer/document/ExplorerAsker.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"
#include "testsupport/TempFolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <thread>

namespace zeb::explorer {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::qtWaitFor;

// Answers the explorer's questions at once: queued delete answers, and a fixed local folder.
class ImmediateAsker final : public ExplorerAsker
{
public:
    ImmediateAsker() { m_before = install(this); }
    ~ImmediateAsker() override { install(m_before); }

    DeleteAnswer askDelete(QWidget*, const std::string& name) override
    {
        asked.push_back(name);
        if (deletes.empty())
            return DeleteAnswer::Cancel;
        const DeleteAnswer answer = deletes.front();
        deletes.pop_front();
        return answer;
    }
    std::optional<std::string> chooseLocalFolder(QWidget*) override { return folder; }
    std::vector<std::string> chooseLocalFiles(QWidget*) override { return files; }

    std::deque<DeleteAnswer> deletes;
    std::vector<std::string> asked;
    std::string folder;
    std::vector<std::string> files;

private:
    ExplorerAsker* m_before = nullptr;
};

// The explorer window in an MDI area, on the application connection (stream 65) to a simulated receiver.
class ExplorerWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
        stream::socket::registerSocketTransports();
        stream::rpc::installRemoteRequests(fs::path());
        registerExplorerDocumentType();
        addTemplate(CIHEXDocument::kKey, QStringLiteral("Disk on chip explorer"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        second.reset();
        DocumentWindowTest::TearDown();
    }

    // A simulated receiver and the application connection to it (stream 65, or 66 for a second receiver).
    std::unique_ptr<testsupport::PortPrintingProcess> startReceiver(std::vector<std::string> options = {},
                                                                    unsigned id = 65)
    {
        std::vector<std::string> arguments{ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "5"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea");
        auto simulator = std::make_unique<testsupport::PortPrintingProcess>(arguments);
        EXPECT_NE(simulator->port(), 0u) << "the simulated receiver did not start";
        auto& link = id == 65 ? connection : second;
        link = std::make_unique<stream::IOSTStream>(id);
        EXPECT_EQ(link->open("/dev/client/localhost/" + std::to_string(simulator->port()), "rb"),
                  stream::StreamStatus::Ok);
        return simulator;
    }

    CIHEXView& openExplorer(const std::vector<std::string>& workspaceLines = {})
    {
        CIHEXDocument& document = openDocument<CIHEXDocument>(CIHEXDocument::kKey, workspaceLines);
        EXPECT_NE(document.view(), nullptr);
        return *document.view();
    }

    static std::vector<std::string> names(const CIHEXView& view)
    {
        std::vector<std::string> listed;
        for (const auto& entry : view.entries())
            listed.push_back(entry.name);
        return listed;
    }

    static bool has(const CIHEXView& view, const std::string& name)
    {
        const auto listed = names(view);
        return std::find(listed.begin(), listed.end(), name) != listed.end();
    }

    static int rowOf(const CIHEXView& view, const std::string& name)
    {
        const auto listed = names(view);
        return static_cast<int>(std::find(listed.begin(), listed.end(), name) - listed.begin());
    }

    ::testing::AssertionResult listed(CIHEXView& view, const std::string& what)
    {
        return qtWaitFor([&] { return view.generation() > 0 && !view.listing() && !view.busy(); }, what, 20s);
    }

    // Renames in place, as a user does: F2 on the row, a new name, Enter.
    static void editName(CIHEXView& view, const std::string& from, const QString& to)
    {
        QAbstractItemView* list = view.activeList();
        list->setCurrentIndex(list->model()->index(rowOf(view, from), 0));
        view.renameAction()->trigger();
        auto* editor = list->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "no name editor";
        editor->setText(to);
        QTest::keyClick(editor, Qt::Key_Return);
    }

    // Drops `data` on the middle of the view's list; whether it was taken.
    static bool drop(CIHEXView& view, const QMimeData& data, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QWidget* target = view.activeList()->viewport();
        const QPoint middle(target->width() / 2, target->height() / 2);
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent event(middle, Qt::CopyAction, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(target, &event);
        return enter.isAccepted() && event.isAccepted();
    }

    // What a drag of the selected rows carries, as the list asks its model when a drag starts.
    static std::unique_ptr<QMimeData> dragged(CIHEXView& view)
    {
        return std::unique_ptr<QMimeData>(
            view.activeList()->model()->mimeData(view.activeList()->selectionModel()->selectedIndexes()));
    }

    bool told(const std::string& text) const
    {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const std::string& message) { return message.find(text) != std::string::npos; });
    }

    ImmediateAsker asker;
    testsupport::TempFolder local;
    testsupport::TempFolder cache;
    std::unique_ptr<stream::IOSTStream> connection;
    std::unique_ptr<stream::IOSTStream> second;
};

// The explorer against the simulated receiver, as an engineer uses it: lists "/ide0a", goes up and back, makes,
// renames and deletes folders, and copies a 3 MB file each way byte-exact with progress.
TEST_F(ExplorerWindowTest, BrowsesChangesAndCopiesTheReceiversDisk)
{
    auto simulator = startReceiver();
    CIHEXView& view = openExplorer();
    ASSERT_TRUE(listed(view, "the listing of /ide0a"));
    EXPECT_EQ(view.document().title(), "Explore - /ide0a");
    EXPECT_EQ(names(view), (std::vector<std::string>{"BIN", "LOG", "NewDir1", "NewDir2", "CONFIG.INI", "README.TXT"}));
    view.sortByColumn(1);
    view.sortByColumn(1);
    EXPECT_EQ(view.sortKey(), -2);
    EXPECT_EQ(names(view).front(), "BIN") << "folders stay first";

    view.upOneLevel();
    ASSERT_TRUE(listed(view, "the listing of /"));
    EXPECT_EQ(view.location().path(), "/");
    EXPECT_EQ(names(view), std::vector<std::string>{"ide0a"});
    view.open(rowOf(view, "ide0a"));
    ASSERT_TRUE(listed(view, "the listing of /ide0a again"));
    EXPECT_EQ(view.location().path(), "/ide0a");

    view.newFolderAction()->trigger();
    ASSERT_TRUE(qtWaitFor([&] { return has(view, "NewDir3") && !view.listing(); }, "NewDir3"));
    editName(view, "NewDir3", QStringLiteral("Results"));
    ASSERT_TRUE(qtWaitFor([&] { return has(view, "Results"); }, "the renamed folder"));
    view.renameEntry(rowOf(view, "Results"), QStringLiteral("README.TXT"));
    ASSERT_TRUE(qtWaitFor([&] { return told("Rename failed"); }, "the refused rename"));
    EXPECT_TRUE(has(view, "Results"));
    view.renameEntry(rowOf(view, "Results"), QString());
    EXPECT_TRUE(told("Enter a valid name"));

    std::string content(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 131) ^ (i >> 11));
    local.write("big.bin", content);
    int progress = 0;
    const auto copied = [&] {
        if (view.copyDialog())
            progress = std::max(progress, view.copyDialog()->percent());
        return !view.busy() && !view.listing();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString((local / "big.bin").string()))});
    EXPECT_TRUE(drop(view, files)) << "files from the desktop are taken";
    ASSERT_TRUE(qtWaitFor(copied, "the copy to the receiver", 30s));
    EXPECT_GT(progress, 0);
    ASSERT_TRUE(has(view, "big.bin"));
    EXPECT_EQ(view.entries()[static_cast<std::size_t>(rowOf(view, "big.bin"))].size, content.size());

    // A row dragged to another explorer names its remote path; dropped on an explorer it is taken and changes nothing.
    const QModelIndex row = view.activeList()->model()->index(rowOf(view, "big.bin"), 0);
    std::unique_ptr<QMimeData> dragged(view.activeList()->model()->mimeData({row}));
    EXPECT_EQ(dragged->data(CIHEXDocument::kClipboardFormat).toStdString(),
              connection->address() + "///ide0a/big.bin\n");
    EXPECT_TRUE(drop(view, *dragged));
    EXPECT_FALSE(view.busy());

    fs::create_directories(local / "back");
    asker.folder = (local / "back").string();
    view.select({"big.bin"});
    view.copyToFolderAction()->trigger();
    ASSERT_TRUE(qtWaitFor(copied, "the copy from the receiver", 30s));
    EXPECT_EQ(local.read("back/big.bin"), content);

    asker.deletes = {ExplorerAsker::DeleteAnswer::Skip, ExplorerAsker::DeleteAnswer::Delete};
    view.select({"LOG", "NewDir1"});
    view.deleteAction()->trigger();
    EXPECT_EQ(asker.asked, (std::vector<std::string>{"LOG", "NewDir1"}));
    ASSERT_TRUE(qtWaitFor([&] { return !has(view, "NewDir1") && !view.busy(); }, "the deleted folder"));
    EXPECT_TRUE(has(view, "LOG"));
    view.refresh();
    ASSERT_TRUE(listed(view, "the listing after the deletion"));
    EXPECT_FALSE(has(view, "NewDir1")) << "gone on the receiver too";
    EXPECT_TRUE(messages.size() == 2) << messages.size() << " messages, the first " << messages.front();
}

// The receiver goes away in the middle of a copy: the copy ends with a clear message, the window stays usable, and
// the next listing says the connection is closed instead of showing this computer's folders.
TEST_F(ExplorerWindowTest, SurvivesTheReceiverDroppingTheConnectionMidCopy)
{
    auto simulator = startReceiver({"--rpc-delay", "20"});
    CIHEXView& view = openExplorer();
    // Leaving a folder while what its listing brought still waits for the window: none of it reaches the next one.
    ASSERT_TRUE(qtWaitFor([&] { return view.listing(); }, "the listing of /ide0a begun"));
    std::this_thread::sleep_for(400ms);
    view.upOneLevel();
    ASSERT_TRUE(listed(view, "the listing of /"));
    EXPECT_EQ(names(view), std::vector<std::string>{"ide0a"});
    view.open(0);
    ASSERT_TRUE(listed(view, "the listing of /ide0a"));
    local.write("big.bin", std::string(3 * 1024 * 1024, 'z'));
    view.copyIn({(local / "big.bin").string()});
    ASSERT_TRUE(qtWaitFor([&] { return view.copyDialog() && view.copyDialog()->percent() > 0; }, "the copy's start"));
    simulator->stop();
    ASSERT_TRUE(qtWaitFor([&] { return !view.busy(); }, "the copy's end", 20s));
    EXPECT_TRUE(told("Copy " + (local / "big.bin").string() + " failed")) << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(local.read("big.bin").size(), 3u * 1024 * 1024) << "the source stays whole";

    messages.clear();
    view.upOneLevel();
    ASSERT_TRUE(listed(view, "the listing without a connection"));
    EXPECT_TRUE(view.entries().empty()) << "never this computer's root folder";
    EXPECT_TRUE(told(std::string(RemoteFolder::kNotConnected)));
}

// A receiver that never answers: the listing is given up at its time limit with "Target not responding", and the
// window's document keeps the stream of its workspace line.
TEST_F(ExplorerWindowTest, AListingWithoutAnswerIsGivenUpAtItsLimit)
{
    auto simulator = startReceiver({"--rpc-mute"});
    CIHEXView& view = openExplorer({"$PKVR,RPC,IHEX,STREAM,65\r\n"});
    view.setListingLimit(300ms);
    EXPECT_EQ(view.document().streamId(), 65u);
    ASSERT_TRUE(qtWaitFor([&] { return told("Target not responding"); }, "the time limit"));
    EXPECT_FALSE(view.listing());
    EXPECT_TRUE(view.entries().empty());
}

// Entries dragged (or copied and pasted) from one receiver's explorer to another's are copied, or moved with Alt;
// dragged out to the desktop, the file manager gets local copies of the files and folders, fetched when it asks for
// them into a staging folder that goes at the next drag and with the window.
TEST_F(ExplorerWindowTest, DragsEntriesBetweenTwoReceiversAndOutToTheDesktop)
{
    auto first = startReceiver();
    auto other = startReceiver({}, 66);
    CIHEXView& from = openExplorer();
    CIHEXView& to = openExplorer({"$PKVR,RPC,IHEX,STREAM,66\r\n"});
    ASSERT_TRUE(listed(from, "the first receiver's /ide0a"));
    ASSERT_TRUE(listed(to, "the second receiver's /ide0a"));
    to.open(rowOf(to, "NewDir1"));
    ASSERT_TRUE(listed(to, "the second receiver's NewDir1"));

    from.select({"LOG"});
    EXPECT_TRUE(drop(to, *dragged(from)));
    ASSERT_TRUE(qtWaitFor([&] { return has(to, "LOG") && !to.busy(); }, "the dragged copy"));
    from.select({"README.TXT"});
    QTest::keyClick(from.activeList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(CIHEXDocument::kClipboardFormat).toStdString(),
              connection->address() + "///ide0a/README.TXT\n");
    QTest::keyClick(to.activeList(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(qtWaitFor([&] { return has(to, "README.TXT") && !to.busy(); }, "the pasted copy"));
    from.select({"CONFIG.INI"});
    EXPECT_TRUE(drop(to, *dragged(from), Qt::AltModifier));
    ASSERT_TRUE(
        qtWaitFor([&] { return has(to, "CONFIG.INI") && !has(from, "CONFIG.INI") && !from.listing(); }, "the move"));
    EXPECT_TRUE(has(from, "LOG") && has(from, "README.TXT")) << "a copy leaves its source";

    to.select({"README.TXT", "LOG"});
    std::unique_ptr<QMimeData> out = dragged(to);
    EXPECT_TRUE(to.staging().folders().empty()) << "nothing fetched before the desktop asks";
    const QList<QUrl> urls = out->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_TRUE(urls[0].toLocalFile().startsWith(QString::fromStdString(cache.path().string())));
    const fs::path desktop = local / "Desktop";
    fs::create_directories(desktop);
    for (const QUrl& url : urls)
        fs::copy(url.toLocalFile().toStdString(), desktop / url.fileName().toStdString(), fs::copy_options::recursive);
    for (const std::string file : {"README.TXT", "LOG/EVENTS.LOG", "LOG/KILO.LOG"}) {
        std::ifstream served(fs::path(ZEB500_DEMO_ROOT) / "ide0a" / file, std::ios::binary);
        EXPECT_EQ(local.read("Desktop/" + file), std::string(std::istreambuf_iterator<char>(served), {})) << file;
    }

    const fs::path staged = fs::path(urls[0].toLocalFile().toStdString()).parent_path();
    auto next = dragged(to);
    EXPECT_FALSE(fs::exists(staged)) << "the next drag removes the last one's files";
    EXPECT_EQ(out->urls().size(), 2) << "fetched again when asked again";
    const fs::path again = fs::path(out->urls()[0].toLocalFile().toStdString()).parent_path();
    ASSERT_TRUE(fs::exists(again));
    closeDocuments();
    EXPECT_FALSE(fs::exists(again)) << "the window's end removes its staged files";
    EXPECT_TRUE(out->urls().isEmpty()) << "the window is gone: nothing to fetch from";
}

// Fetching for the desktop shows the copy dialog while the window keeps answering: its Cancel leaves the desktop
// with no files at all.
TEST_F(ExplorerWindowTest, ACancelledFetchGivesTheDesktopNoFiles)
{
    auto simulator = startReceiver({"--rpc-delay", "20"});
    CIHEXView& view = openExplorer();
    ASSERT_TRUE(listed(view, "the listing of /ide0a"));
    view.select({"LOG", "BIN"});
    std::unique_ptr<QMimeData> out = dragged(view);
    bool pressed = false;
    QMetaObject::invokeMethod(
        &view,
        [&] {
            ASSERT_NE(view.copyDialog(), nullptr) << "the fetch shows its progress";
            view.copyDialog()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
            pressed = true;
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(out->urls().isEmpty());
    EXPECT_TRUE(pressed) << "the window answered while fetching";
    ASSERT_TRUE(qtWaitFor([&] { return !view.busy(); }, "the cancelled fetch's end"));
}

} // namespace
} // namespace zeb::explorer
