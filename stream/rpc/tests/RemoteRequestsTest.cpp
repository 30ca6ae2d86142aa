#include "stream/rpc/RemoteRequests.h"

#include "stream/FileDevice.h"
#include "stream/StreamEvent.h"
#include "stream/rpc/FileCopy.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RequestCode.h"
#include "stream/rpc/RequestFrame.h"
#include "testsupport/LinkedStreams.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"
#include "testsupport/WindowThread.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>

namespace zeb::stream::rpc {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::LinkedStreams;
using testsupport::TempFolder;

// The far stream serves files from `root`; the test calls through the near one.
class RemoteRequestsTest : public ::testing::Test
{
protected:
    RemoteRequestsTest() { installRemoteRequests(root.path()); }

    std::string remote(const std::string& path) const { return streams.near.address() + "//" + path; }

    TempFolder root;
    TempFolder local;
    LinkedStreams streams;
    RemoteFileClient client{streams.near};
};

TEST_F(RemoteRequestsTest, FilesAreWrittenSoughtMeasuredAndReadInBlocksOfAtMost512Bytes)
{
    std::string content(1300, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7); // every byte value, 0xFD-0xFF included
    const std::int64_t handle = client.open("data.bin", O_RDWR | O_CREAT | O_TRUNC);
    ASSERT_GT(handle, 0);
    const auto h = static_cast<std::uint32_t>(handle);
    EXPECT_EQ(client.write(h, reinterpret_cast<const std::uint8_t*>(content.data()), content.size()), 1300);
    EXPECT_EQ(client.seek(h, 0, SEEK_SET), 0);

    std::string back;
    std::uint8_t buffer[4096];
    for (;;) {
        const std::int64_t got = client.read(h, buffer, sizeof buffer); // asks for 4096
        ASSERT_GE(got, 0);
        ASSERT_LE(got, 512);
        if (got == 0)
            break;
        back.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    }
    EXPECT_EQ(back, content);
    EXPECT_EQ(client.seek(h, -100, SEEK_END), 1200);
    EXPECT_EQ(client.length(h), 1300); // the length leaves the position alone
    EXPECT_EQ(client.read(h, buffer, 512), 100);
    EXPECT_TRUE(client.close(h));
    EXPECT_FALSE(client.close(h));
    EXPECT_EQ(root.read("data.bin"), content);
}

TEST_F(RemoteRequestsTest, HandlesBelongToTheStreamThatOpenedThemAndAreNoDescriptors)
{
    root.write("a", "alpha");
    const std::int64_t handle = client.open("a", O_RDONLY);
    ASSERT_GT(handle, 0);
    std::uint8_t buffer[16];
    // Small numbers a peer might guess (descriptors 0-63) name nothing.
    for (std::uint32_t guess = 0; guess < 64; ++guess) {
        if (guess != handle) {
            EXPECT_EQ(client.read(guess, buffer, sizeof buffer), 0) << guess;
        }
    }
    // The far stream's own client, calling the other way, does not see the near side's handles.
    RemoteFileClient reverse(streams.far);
    EXPECT_EQ(reverse.length(static_cast<std::uint32_t>(handle)), -1);
    EXPECT_EQ(client.length(static_cast<std::uint32_t>(handle)), 5);
}

TEST_F(RemoteRequestsTest, DirectoriesAreMadeListedRenamedAndRemoved)
{
    EXPECT_EQ(client.makeDirectory("d/e/f"), StreamStatus::Ok);
    root.write("d/file", "12345");
    EXPECT_EQ(client.makeDirectory("d/file"), StreamStatus::NotOpen);
    EXPECT_EQ(client.fileType("d"), file_type::Directory);
    EXPECT_EQ(client.fileType("d/none"), file_type::NotFound);

    std::vector<DirectoryEntry> entries;
    ASSERT_EQ(client.list("d", entries), StreamStatus::Ok);
    ASSERT_EQ(entries.size(), 2u); // no "." or ".."
    EXPECT_EQ(entries[0].name, "e");
    EXPECT_EQ(entries[1].type, file_type::Regular);
    EXPECT_EQ(entries[1].size, 5u);
    EXPECT_EQ(client.list("d/file", entries), StreamStatus::NotOpen);

    const std::string longName(100, 'l');
    root.write("long/" + longName, "");
    ASSERT_EQ(client.list("long", entries), StreamStatus::Ok);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, longName.substr(0, 79));

    // Never onto an existing name: the file there would be lost.
    root.write("d/e/kept", "kept");
    EXPECT_EQ(client.rename("d/file", "d/e/kept"), StreamStatus::NotOpen);
    EXPECT_EQ(root.read("d/e/kept"), "kept");
    EXPECT_EQ(client.rename("d/file", "d/e/moved"), StreamStatus::Ok);
    EXPECT_EQ(root.read("d/e/moved"), "12345");
    EXPECT_EQ(client.remove("d"), StreamStatus::Ok);
    EXPECT_FALSE(fs::exists(root / "d"));
    EXPECT_EQ(client.remove("d"), StreamStatus::NotOpen);
}

TEST_F(RemoteRequestsTest, UniqueNamesSkipWhatExists)
{
    root.write("new1", "");
    root.write("new2", "");
    EXPECT_EQ(client.uniqueName("new%u"), "new3");
    EXPECT_EQ(client.uniqueName("dir/other%u.txt"), "dir/other1.txt");
    for (int i = 1; i <= 99; ++i)
        root.write("full" + std::to_string(i), "");
    EXPECT_EQ(client.uniqueName("full%u"), std::nullopt);
    EXPECT_EQ(client.uniqueName("bad%s%u"), std::nullopt);
    EXPECT_EQ(client.uniqueName("two%u%u"), std::nullopt);
}

TEST_F(RemoteRequestsTest, NothingOutsideTheRootIsReachedAndEachRefusalHasTheFailureValue)
{
    local.write("secret", "do not touch");
    fs::create_symlink(local.path(), root / "escape");
    const std::string outside = (local / "secret").string();
    for (const std::string& path :
         {outside, std::string("../") + local.path().filename().string() + "/secret", std::string("escape/secret")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(client.open(path, O_RDONLY), -1);
        EXPECT_EQ(client.open(path, O_WRONLY | O_CREAT | O_TRUNC), -1);
        EXPECT_EQ(client.fileType(path), file_type::NotFound);
        EXPECT_EQ(client.remove(path), StreamStatus::NotOpen);
        EXPECT_EQ(client.rename(path, "stolen"), StreamStatus::NotOpen);
        EXPECT_EQ(client.makeDirectory(path + "/x"), StreamStatus::NotOpen);
        std::vector<DirectoryEntry> entries;
        EXPECT_EQ(client.list(path, entries), StreamStatus::NotOpen);
    }
    EXPECT_EQ(client.rename("escape", "escape2"), StreamStatus::NotOpen);
    EXPECT_EQ(client.remove("."), StreamStatus::NotOpen);
    EXPECT_EQ(client.open("escape/new-file", O_WRONLY | O_CREAT), -1);
    EXPECT_EQ(local.read("secret"), "do not touch");
    EXPECT_FALSE(fs::exists(local / "new-file"));
}

TEST_F(RemoteRequestsTest, CopiesGoBothWaysWithProgressAndDirectoriesWhole)
{
    testsupport::WindowThread window;
    std::string big(5000, 'b');
    local.write("tree/big", big);
    local.write("tree/sub/small", "s");

    ASSERT_EQ(FileCopy::copy((local / "tree/big").string(), remote("one"), window.handle()), StreamStatus::Ok);
    EXPECT_EQ(root.read("one"), big);
    // 512 bytes of 5000 are 10.24 %; each block moves the whole percentage on, and only changes are told.
    const auto percents = [&] {
        std::vector<int> told;
        for (const auto& message : window.messages(StreamRegistry::messages().thread))
            told.push_back(message.wParam == 1 ? static_cast<int>(message.lParam) : -1);
        return told;
    };
    EXPECT_TRUE(testsupport::eventually([&] { return !percents().empty() && percents().back() == 100; }));
    EXPECT_EQ(percents(), (std::vector<int>{10, 20, 30, 40, 51, 61, 71, 81, 92, 100}));

    ASSERT_EQ(FileCopy::copy((local / "tree").string(), remote("copied")), StreamStatus::Ok);
    EXPECT_EQ(root.read("copied/big"), big);
    EXPECT_EQ(root.read("copied/sub/small"), "s");
    ASSERT_EQ(FileCopy::copy(remote("copied/big"), (local / "back").string()), StreamStatus::Ok);
    EXPECT_EQ(local.read("back"), big);
    EXPECT_EQ(FileCopy::copy(remote("no-such"), (local / "x").string()), StreamStatus::NotOpen);
}

// A remote path names the far side only: once its stream is closed, a file or copy through it fails
// rather than reaching the local file of the same name.
TEST_F(RemoteRequestsTest, ARemotePathWithoutItsOpenStreamNeverFallsBackToALocalFile)
{
    local.write("file", "local");
    const std::string address = streams.near.address();
    streams.near.close();
    const std::string through = address + "//" + (local / "file").string();
    FileDevice device;
    EXPECT_NE(device.open(through, "rb"), StreamStatus::Ok);
    EXPECT_NE(device.open(through, "wb"), StreamStatus::Ok);
    EXPECT_NE(device.open("//" + (local / "file").string(), "wb"), StreamStatus::Ok) << "an empty address";
    EXPECT_EQ(FileCopy::copy(through, (local / "copy").string()), StreamStatus::NotOpen);
    EXPECT_EQ(FileCopy::copy((local / "file").string(), address + "//" + (local / "over").string()),
              StreamStatus::NotOpen);
    EXPECT_EQ(local.read("file"), "local");
    EXPECT_FALSE(fs::exists(local / "copy"));
    EXPECT_FALSE(fs::exists(local / "over"));
}

// ---- calls, replies and frames the far side did not expect ---------------------------------------

TEST_F(RemoteRequestsTest, AReplyAfterTheCallGaveUpIsDroppedAndTheNextCallGetsItsOwn)
{
    root.write("a", "1");
    root.write("bb", "22");
    streams.link().delayMs[0] = 300; // replies reach the near side late
    RemoteFileClient impatient(streams.near, 50ms);
    EXPECT_EQ(impatient.fileType("a"), file_type::NotFound);
    EXPECT_EQ(impatient.lastStatus(), StreamStatus::TimedOut);
    streams.link().delayMs[0] = 0;
    std::this_thread::sleep_for(400ms); // the late reply arrives meanwhile, into nothing
    EXPECT_EQ(client.fileType("bb"), file_type::Regular);
    EXPECT_EQ(client.lastStatus(), StreamStatus::Ok);
    EXPECT_EQ(RemoteRequests::waitingCalls(), 0u);
}

TEST_F(RemoteRequestsTest, AStreamThatClosesEndsItsWaitingCallsAtOnce)
{
    streams.link().deaf[1] = true;
    // The stream is closed once the request has left: writing and closing are never at the same time.
    std::thread closer([&] {
        while (streams.link().writes[0].load() == 0)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(50ms);
        streams.near.close();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.fileType("x"), file_type::NotFound);
    closer.join();
    EXPECT_EQ(client.lastStatus(), StreamStatus::NotOpen);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    // Closed: nothing is written any more.
    EXPECT_EQ(client.fileType("x"), file_type::NotFound);
    EXPECT_EQ(client.lastStatus(), StreamStatus::SendFailed);
}

TEST_F(RemoteRequestsTest, ConcurrentCallersEachGetTheirOwnReply)
{
    for (int i = 0; i < 4; ++i)
        root.write("f" + std::to_string(i), std::string(static_cast<std::size_t>(i + 1), 'x'));
    std::vector<std::thread> threads;
    std::atomic<int> right{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            RemoteFileClient own(streams.near);
            for (int round = 0; round < 20; ++round) {
                const std::int64_t handle = own.open("f" + std::to_string(i), O_RDONLY);
                if (handle > 0 && own.length(static_cast<std::uint32_t>(handle)) == i + 1)
                    ++right;
                own.close(static_cast<std::uint32_t>(handle));
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(right, 80);
}

TEST_F(RemoteRequestsTest, MalformedRequestsAreIgnoredOrAnsweredWithFailure)
{
    // Each of these reaches the far side as a well-formed frame; the request inside is broken.
    // A payload, and whether it is answered.
    const std::pair<std::vector<std::uint8_t>, bool> cases[] = {
        {{}, false}, // no code
        {{1, 0}, false}, // code cut short
        {{1, 0, 0, 0, 'a', 'b'}, true}, // open without its zero byte
        {{3, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1}, true}, // write with a huge count
        {{14, 0, 0, 0, '.', 0}, true}, // next entry without words
    };
    for (const auto& [payload, answered] : cases) {
        SCOPED_TRACE(::testing::PrintToString(payload));
        RemoteFileRequest record;
        record.assign(payload);
        const StreamStatus status = RemoteRequests::call(streams.near, record, 300ms);
        EXPECT_EQ(status, answered ? StreamStatus::Ok : StreamStatus::TimedOut);
        if (!answered)
            continue;
        // Every failure value starts with 0xFF (a -1 word) or 54 (a status byte).
        ASSERT_GE(record.length(), 1u);
        EXPECT_TRUE(record.payload()[0] == 0xFF || record.payload()[0] == 54) << int(record.payload()[0]);
    }
}

} // namespace
} // namespace zeb::stream::rpc
