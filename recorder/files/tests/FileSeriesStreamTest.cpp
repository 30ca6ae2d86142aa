#include "recorder/files/FileSeriesStream.h"

#include "recorder/files/tests/RecordFileContents.h"
#include "testsupport/AllocationCounter.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zeb::recorder {
namespace {

using stream::StreamStatus;
using testsupport::TempFolder;
using Status = RecordFileReader::Status;

RecordFileContents contentsOf(const std::filesystem::path& path)
{
    return RecordFileContents::of(std::fopen(path.c_str(), "rb"));
}

StreamStatus writeMessage(FileSeriesStream& series, const std::string& text)
{
    return series.writeRecord(RecordHeader::message('A', 0, 0),
                              {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

TEST(FileSeriesStream, FilesNameTheirRealNeighboursAndReadBack)
{
    const TempFolder folder;
    const std::string base = (folder / "rec").string();
    FileSeriesStream series;
    series.setBasePath(base);
    series.setFileIndex(2);
    series.setBuffering(65536, std::chrono::hours(1)); // rollover and close hand over what waits
    ASSERT_EQ(series.openNumbered("wb"), StreamStatus::Ok);
    const std::uint64_t headerLines = series.bytesWritten();
    ASSERT_EQ(writeMessage(series, "$GPGGA\r\n"), StreamStatus::Ok);
    EXPECT_EQ(series.bytesWritten(), headerLines + 8u + RecordHeader::kSize);
    const std::string other = (folder / "other-1.UMA").string();
    ASSERT_EQ(series.rollOver(other), StreamStatus::Ok);
    ASSERT_EQ(writeMessage(series, "second"), StreamStatus::Ok);
    series.close();

    const RecordFileContents first = contentsOf(base + "-2.UMA");
    EXPECT_EQ(first.status, Status::End);
    EXPECT_EQ(
        first.lines,
        (std::vector<std::string>{"$PKVR,RPC,UTMA,VERSION,3\r\n", "$PKVR,RPC,UTMA,PREVIOUS,\"" + base + "-1.UMA\"\r\n",
                                  "$PKVR,RPC,UTMA,STREAM\r\n", "$PKVR,RPC,UTMA,NEXT,\"" + other + "\"\r\n"}));
    EXPECT_EQ(first.messages, std::vector<std::string>{"$GPGGA\r\n"});
    const RecordFileContents second = contentsOf(other);
    ASSERT_EQ(second.lines.size(), 4u);
    EXPECT_EQ(second.lines[1], "$PKVR,RPC,UTMA,PREVIOUS,\"" + base + "-2.UMA\"\r\n");
    EXPECT_EQ(second.messages, std::vector<std::string>{"second"});

    // Opened for reading, the first two bytes are still there for the reader.
    ASSERT_EQ(series.openFile(other, "rb"), StreamStatus::Ok);
    EXPECT_TRUE(series.isFramed());
    std::uint8_t start[2] = {};
    EXPECT_EQ(series.read(start, 2, false), 2u);
    EXPECT_EQ(start[0], 0xFE);
}

TEST(FileSeriesStream, NeverOverwritesAFileAndTakesTheNextFreeIndex)
{
    const TempFolder folder;
    folder.write("rec-1.UMA", "earlier");
    folder.write("rec-2.UMA", "earlier");
    FileSeriesStream series;
    series.setBasePath((folder / "rec").string());
    series.setFramed(false);
    ASSERT_EQ(series.openNumbered("wb"), StreamStatus::Ok);
    EXPECT_EQ(series.fileIndex(), 3u);
    ASSERT_EQ(writeMessage(series, "$GPGGA"), StreamStatus::Ok);
    series.close();
    EXPECT_EQ(folder.read("rec-3.UMA"), "$GPGGA"); // unframed: the data alone
    EXPECT_EQ(series.openFile((folder / "rec-1.UMA").string(), "wb"), StreamStatus::OpenFailed);
    EXPECT_EQ(folder.read("rec-1.UMA"), "earlier");
    EXPECT_EQ(folder.read("rec-2.UMA"), "earlier");
}

TEST(FileSeriesStream, AFailedWriteCountsNothingAndEndsWritingToTheFile)
{
    const TempFolder folder;
    FileSeriesStream series;
    series.setBasePath((folder / "full").string());
    ASSERT_EQ(series.openNumbered("wb"), StreamStatus::Ok);
    const std::uint64_t headerLines = series.bytesWritten();
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096; // the disk is full from here on
    ::setrlimit(RLIMIT_FSIZE, &small);
    StreamStatus status = StreamStatus::Ok;
    std::uint64_t before = 0;
    for (int i = 0; i < 100 && status == StreamStatus::Ok; ++i) {
        before = series.bytesWritten();
        status = writeMessage(series, std::string(100, 'm'));
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(status, StreamStatus::SendFailed);
    EXPECT_EQ(series.bytesWritten(), before);
    EXPECT_EQ(writeMessage(series, "later"), StreamStatus::NotOpen);
    series.close();
    const RecordFileContents contents = contentsOf(folder / "full-1.UMA");
    EXPECT_EQ(contents.status, Status::Cut);
    EXPECT_EQ(headerLines + contents.messages.size() * (100 + RecordHeader::kSize), before);
}

TEST(FileSeriesStream, WritingARecordAllocatesNothing)
{
    const TempFolder folder;
    FileSeriesStream series;
    series.setBasePath((folder / "alloc").string());
    series.setBuffering(65536, std::chrono::milliseconds(50));
    ASSERT_EQ(series.openNumbered("wb"), StreamStatus::Ok);
    const std::vector<std::uint8_t> message(700, 0xFE);
    const testsupport::AllocationCounter counter;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(series.writeRecord(RecordHeader::message('A', i, 0), message), StreamStatus::Ok);
    EXPECT_EQ(counter.count(), 0u);
}

// Write-through, nothing recorded is lost; buffered, only what waited in memory.
TEST(FileSeriesStream, ARecordingKilledAtAnyMomentLeavesEveryCompleteRecordReadable)
{
    for (const std::size_t buffering : {std::size_t{0}, std::size_t{65536}}) {
        const TempFolder folder;
        const std::string name = (folder / "killed-1.UMA").string();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileSeriesStream series;
            series.setBasePath((folder / "killed").string());
            series.setBuffering(buffering, std::chrono::milliseconds(50));
            if (series.openNumbered("wb") != StreamStatus::Ok)
                ::_exit(3);
            for (unsigned i = 0;; ++i)
                writeMessage(series, "message " + std::to_string(i) + std::string(i % 500, '.'));
        }
        const bool grown = testsupport::eventually([&] {
            std::error_code error;
            return std::filesystem::file_size(name, error) > 1000000 && !error;
        });
        ::kill(child, SIGKILL);
        int childStatus = 0;
        ::waitpid(child, &childStatus, 0);
        ASSERT_TRUE(grown) << "the child's file never reached 1 MB";
        ASSERT_TRUE(WIFSIGNALED(childStatus));

        const RecordFileContents contents = contentsOf(name);
        EXPECT_TRUE(contents.status == Status::End || contents.status == Status::Cut);
        ASSERT_GT(contents.messages.size(), 1000u);
        for (std::size_t i = 0; i < contents.messages.size(); ++i)
            ASSERT_EQ(contents.messages[i], "message " + std::to_string(i) + std::string(i % 500, '.'));
    }
}

} // namespace
} // namespace zeb::recorder
