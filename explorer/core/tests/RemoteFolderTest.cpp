#include "explorer/core/RemoteFolder.h"

#include "explorer/core/ExplorerTask.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/HostilePeer.h"
#include "testsupport/LinkedStreams.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>

namespace zeb::explorer {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using stream::rpc::DirectoryEntry;
using testsupport::HostilePeer;
using testsupport::TempFolder;

// The far stream serves `root` as its "/"; the explorer works through the near one.
class RemoteFolderTest : public ::testing::Test
{
protected:
    RemoteFolderTest()
    {
        stream::rpc::installRemoteRequests(root.path(), stream::rpc::RootFolder::Absolute::FromFolder);
        fs::create_directories(root / "ide0a/NewDir1");
        root.write("ide0a/NewDir2/deep/er/x.bin", "x");
        root.write("ide0a/README.TXT", "read me");
    }

    RemoteFolder disk() { return {streams.near, RemoteLocation(streams.near.address(), "/ide0a")}; }

    std::map<std::string, DirectoryEntry> listed(RemoteFolder folder, Outcome* outcome = nullptr)
    {
        std::map<std::string, DirectoryEntry> entries;
        const std::atomic<bool> stop{false};
        const Outcome result = folder.list([&](DirectoryEntry&& entry) { entries[entry.name] = entry; }, stop, 100);
        if (outcome)
            *outcome = result;
        return entries;
    }

    TempFolder root;
    TempFolder local;
    testsupport::LinkedStreams streams;
};

TEST_F(RemoteFolderTest, ListsMakesRenamesAndRemovesThroughItsStream)
{
    RemoteFolder folder = disk();
    const auto before = listed(folder);
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before.at("NewDir1").type, stream::rpc::file_type::Directory);
    EXPECT_EQ(before.at("README.TXT").size, 7u);

    const Outcome made = folder.makeNewFolder();
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_EQ(made.path, "/ide0a/NewDir3");
    EXPECT_TRUE(fs::is_directory(root.path() / "ide0a" / "NewDir3"));

    const Outcome ontoExisting = folder.rename("NewDir3", "README.TXT");
    EXPECT_FALSE(ontoExisting.ok);
    EXPECT_TRUE(ontoExisting.message.starts_with(RemoteFolder::kRenameFailed)) << ontoExisting.message;
    EXPECT_EQ(root.read("ide0a/README.TXT"), "read me") << "the file there stays";
    for (const char* bad : {"..", "a/b", "."})
        EXPECT_FALSE(folder.rename("NewDir3", bad).ok) << bad;
    ASSERT_TRUE(folder.rename("NewDir3", "Renamed").ok);
    EXPECT_TRUE(fs::is_directory(root.path() / "ide0a" / "Renamed"));

    const Outcome removed = folder.remove("NewDir2");
    ASSERT_TRUE(removed.ok) << removed.message;
    EXPECT_FALSE(fs::exists(root.path() / "ide0a" / "NewDir2"));
    EXPECT_EQ(folder.remove("missing").message, "Can't delete file\r\nmissing");

    // Names are bytes: one that is no UTF-8 is listed, renamed and deleted as it is.
    root.write("ide0a/\xff\xfe.bin", "raw");
    ASSERT_EQ(listed(folder).count("\xff\xfe.bin"), 1u);
    ASSERT_TRUE(folder.rename("\xff\xfe.bin", "\xfe.bin").ok);
    ASSERT_TRUE(folder.remove("\xfe.bin").ok);
    EXPECT_FALSE(fs::exists(root / "ide0a/\xfe.bin"));

    // The top folder's entries are "/name", which the far side serves.
    RemoteFolder top(streams.near, RemoteLocation(streams.near.address(), "/"));
    EXPECT_EQ(listed(top).count("ide0a"), 1u);
}

TEST_F(RemoteFolderTest, CopiesBothWaysByteExactWithProgressAndStopsWhenCancelled)
{
    std::string content(300 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 + i / 512);
    local.write("capture.bin", content);
    RemoteFolder folder = disk();
    std::uint64_t last = 0;
    std::uint64_t total = 0;
    stream::rpc::FileCopy::Control control;
    control.progress = [&](std::uint64_t copied, std::uint64_t length) {
        EXPECT_GE(copied, last);
        last = copied;
        total = length;
    };
    const Outcome in = folder.copyIn((local.path() / "capture.bin").string(), control);
    ASSERT_TRUE(in.ok) << in.message;
    EXPECT_EQ(last, content.size());
    EXPECT_EQ(total, content.size());
    EXPECT_EQ(root.read("ide0a/capture.bin"), content);

    fs::create_directories(local.path() / "back");
    ASSERT_TRUE(folder.copyOut("capture.bin", (local.path() / "back").string(), {}).ok);
    EXPECT_EQ(local.read("back/capture.bin"), content);
    EXPECT_FALSE(folder.copyOut("../README.TXT", (local.path() / "back").string(), {}).ok);

    std::atomic<bool> stop{false};
    control.stop = &stop;
    control.progress = [&](std::uint64_t, std::uint64_t) { stop = true; };
    fs::create_directories(local / "stopped");
    EXPECT_FALSE(folder.copyOut("capture.bin", (local / "stopped").string(), control).ok);
    EXPECT_TRUE(fs::is_empty(local / "stopped")) << "no half file left behind";
}

// Entries named by their remote path, as a drop brings them: an address no stream has touches nothing local.
TEST_F(RemoteFolderTest, AnEntryOfAnAddressWithoutStreamIsNeverTakenForALocalFile)
{
    local.write("ide0a/README.TXT", "local");
    const RemoteLocation nowhere("/dev/client/nowhere/1", (local / "ide0a/README.TXT").string());
    RemoteFolder into(streams.near, RemoteLocation(streams.near.address(), "/ide0a/NewDir1"));
    const Outcome refused = into.copyFrom(nowhere, {});
    EXPECT_NE(refused.message.find("is closed"), std::string::npos) << refused.message;
    EXPECT_FALSE(RemoteFolder::removeEntry(nowhere).ok);
    EXPECT_FALSE(RemoteFolder::copyEntryOut(nowhere, (local / "ide0a").string(), {}).ok);
    EXPECT_EQ(local.read("ide0a/README.TXT"), "local");
    EXPECT_FALSE(fs::exists(root / "ide0a/NewDir1/README.TXT"));
}

// With the connection closed, every operation says so and nothing local is touched, even where a
// local path of the same name exists.
TEST_F(RemoteFolderTest, AClosedConnectionFailsEveryOperationAndNeverTouchesLocalFiles)
{
    const fs::path same = local.path() / "ide0a";
    fs::create_directories(same / "NewDir1");
    RemoteFolder folder(streams.near, RemoteLocation(streams.near.address(), same.string()));
    streams.near.close();

    Outcome outcome;
    EXPECT_TRUE(listed(folder, &outcome).empty());
    EXPECT_NE(outcome.message.find(RemoteFolder::kNotConnected), std::string::npos) << outcome.message;
    for (const Outcome& failed : {folder.remove("NewDir1"), folder.rename("NewDir1", "Other"), folder.makeNewFolder(),
                                  folder.copyOut("NewDir1", local.path().string(), {})}) {
        EXPECT_FALSE(failed.ok);
        EXPECT_NE(failed.message.find(RemoteFolder::kNotConnected), std::string::npos) << failed.message;
    }
    EXPECT_TRUE(fs::is_directory(same / "NewDir1"));
    EXPECT_FALSE(fs::exists(same / "NewDir2"));
    EXPECT_FALSE(fs::exists(same / "Other"));
}

// A far side that lists bad names and never ends: the bad names are left out and the listing
// stops at its cap.
TEST(RemoteFolderHostileTest, ListingsDropBadNamesAndStopAtTheirCap)
{
    stream::socket::registerSocketTransports();
    stream::rpc::installRemoteRequests(fs::path());
    HostilePeer peer(HostilePeer::serving({[](std::string_view) { return stream::rpc::file_type::Directory; },
                                           [](std::string_view, std::uint32_t at) -> std::optional<std::string> {
                                               static const char* const kFirst[] = {"..", "a/b", ".", "good"};
                                               return at < 4 ? kFirst[at] : "more" + std::to_string(at);
                                           }}));
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    ASSERT_EQ(link.open(peer.address(), "r+b"), stream::StreamStatus::Ok);
    RemoteFolder folder(link, RemoteLocation(link.address(), "/ide0a"));
    std::vector<std::string> names;
    const std::atomic<bool> stop{false};
    const Outcome outcome = folder.list([&](DirectoryEntry&& entry) { names.push_back(entry.name); }, stop, 50);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.message.find("more than 50"), std::string::npos) << outcome.message;
    ASSERT_EQ(names.size(), 47u);
    EXPECT_EQ(names.front(), "good");
    link.close();
}

// A task whose far side never answers is released at once; it ends by itself once its call
// gives up, and the body saw the stop request.
TEST(ExplorerTaskTest, AReleasedTaskEndsOnItsOwnWithoutAnyoneWaiting)
{
    stream::socket::registerSocketTransports();
    stream::rpc::installRemoteRequests(fs::path());
    HostilePeer mute([](const stream::rpc::RequestFrame::View&) { return std::vector<std::string>{}; });
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    ASSERT_EQ(link.open(mute.address(), "r+b"), stream::StreamStatus::Ok);
    std::atomic<bool> sawStop{false};
    std::atomic<bool> ended{false};
    auto task = ExplorerTask::start(link, [&](stream::IOSTStream* via, const std::atomic<bool>& stop) {
        RemoteFolder folder(*via, RemoteLocation(via->address(), "/"));
        folder.list([](DirectoryEntry&&) {}, stop, 10);
        sawStop = stop.load();
        ended = true;
    });
    ASSERT_TRUE(task);
    ASSERT_TRUE(testsupport::waitFor([&] { return mute.requests() > 0; }, "the listing's first request"));
    const auto before = std::chrono::steady_clock::now();
    ExplorerTask::release(std::move(task));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_FALSE(ended.load());
    ASSERT_TRUE(testsupport::waitFor([&] { return ended.load() && platform::WorkerThread::finishing() == 0; },
                                     "the released task's end", 15s));
    EXPECT_TRUE(sawStop.load());
    link.close();
}

} // namespace
} // namespace zeb::explorer
