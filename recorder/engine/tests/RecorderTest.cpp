#include "recorder/engine/Recorder.h"

#include "messages/codecs/StandardCodecs.h"
#include "recorder/engine/RecordBacklog.h"
#include "recorder/files/RecordFileReader.h"
#include "recorder/files/RecordFrame.h"
#include "recorder/schedule/LocalTime.h"
#include "stream/IOSTStream.h"
#include "testsupport/CodecTestSupport.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace zeb::recorder {
namespace {

using codecs::test::Frame;
using codecs::test::operator+;

constexpr std::int64_t kNow = 1'800'000'000;

struct ReadBack
{
    std::vector<std::string> lines; // text records
    std::vector<std::pair<char, std::string>> messages; // tag, bytes
};

ReadBack readFile(const std::filesystem::path& path)
{
    ReadBack result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return result;
    RecordFileReader reader(file);
    RecordFileReader::Record record;
    while (reader.next(record) == RecordFileReader::Status::Record) {
        const std::string bytes(record.data.begin(), record.data.end());
        if (record.header.type == RecordHeader::kText)
            result.lines.push_back(bytes.substr(0, bytes.find_first_of(std::string("\r\n\0", 3))));
        else
            result.messages.emplace_back(static_cast<char>(record.header.tag), bytes);
    }
    EXPECT_EQ(reader.error(), "") << path;
    std::fclose(file);
    return result;
}

class RecorderTest : public ::testing::Test
{
protected:
    RecorderTest()
        : port(200)
    {
        settings = RecorderSettings::defaults(folder.path().string());
        settings.directory = folder.path().string();
        settings.format = 1;
        settings.bindDocumentPort(200);
        // The bound port's catch-all filter goes: sentences to B, measurements to C.
        settings.filters = {{true, 0, selection::Sentences, output_form::AsReceived, 1},
                            {true, 0, selection::BinaryMeasurement, output_form::AsReceived, 2}};
    }

    void feed(const std::string& bytes)
    {
        port.feed({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    }
    static std::string sentence(int n) { return "$GPTXT," + std::to_string(n) + "\r\n"; }
    static std::string measurement(int n)
    {
        const Frame frame = codecs::test::sbinFrame('R', Frame(8, static_cast<std::uint8_t>(n)));
        return {frame.begin(), frame.end()};
    }
    std::filesystem::path file(int index) const { return folder / ("data-" + std::to_string(index) + ".dat"); }

    testsupport::TempFolder folder;
    stream::IOSTStream port;
    RecorderSettings settings;
};

// Every matched message lands in exactly one file, in order, with its track's letter; the files name their real
// neighbours and are linked by "continue" lines; an unmatched RTCM-less frame is counted as received only.
TEST_F(RecorderTest, RollsOverWithoutLosingOrDoubling)
{
    settings.granularity = 1; // 1 KB
    Recorder recorder(settings, &port);
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    ASSERT_EQ(recorder.state(), Recorder::State::Recording);
    std::vector<std::pair<char, std::string>> sent;
    for (int i = 0; i < 120; ++i) {
        feed(sentence(i));
        feed(measurement(i));
        feed("\x02!A,1\x03"); // a text frame: no filter takes it
        sent.emplace_back('B', sentence(i));
        sent.emplace_back('C', measurement(i));
    }
    recorder.stop();
    EXPECT_EQ(recorder.messagesMatched(), sent.size());
    EXPECT_GE(recorder.messagesReceived(), sent.size());

    std::vector<std::pair<char, std::string>> found;
    int index = 1;
    for (; std::filesystem::exists(file(index)); ++index) {
        const ReadBack back = readFile(file(index));
        found.insert(found.end(), back.messages.begin(), back.messages.end());
        const std::string name = file(index).string();
        ASSERT_GE(back.lines.size(), 3u);
        if (index > 1) {
            EXPECT_EQ(back.lines[1], "$PKVR,RPC,UTMA,PREVIOUS,\"" + file(index - 1).string() + "\"");
        }
        EXPECT_NE(std::find(back.lines.begin(), back.lines.end(), "start " + name), back.lines.end());
        EXPECT_EQ(back.lines.back(), "$PKVR,RPC,UTMA,NEXT,\"" + file(index + 1).string() + "\"");
        std::size_t counted = 0;
        for (const auto& message : back.messages)
            counted += message.second.size() + RecordHeader::kSize;
        EXPECT_LT(counted, 1024u);
    }
    EXPECT_GT(index, 4) << "no rollover";
    EXPECT_EQ(found, sent);
}

// The document's stream is used as it is: stopping leaves it open and subscribed once; resuming after a suspend
// appends to the same file; a new start never overwrites a file that exists.
TEST_F(RecorderTest, SuspendResumeAndRestartKeepWhatWasWritten)
{
    std::filesystem::create_directories(folder.path());
    folder.write("data-1.dat", "earlier");
    Recorder recorder(settings, &port);
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    feed(sentence(1));
    recorder.suspend();
    feed(sentence(2)); // not recorded while suspended
    recorder.resume();
    feed(sentence(3));
    EXPECT_EQ(recorder.fileName(), file(2).string());
    recorder.stop();
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    feed(sentence(4));
    recorder.stop();

    EXPECT_EQ(port.subscriberCount(), 1u);
    const std::vector<std::pair<char, std::string>> first = {{'B', sentence(1)}, {'B', sentence(3)}};
    EXPECT_EQ(readFile(file(2)).messages, first);
    EXPECT_EQ(readFile(file(3)).messages, (std::vector<std::pair<char, std::string>>{{'B', sentence(4)}}));
    std::ifstream earlier(file(1));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier");
}

// Each new file begins with the newest held almanac of each satellite and the health message (the kinds asked
// for), as the filter that takes them writes them.
TEST_F(RecorderTest, NewFileBeginsWithTheHeldRepeatedMessages)
{
    codecs::registerMessageCodecs();
    settings.outputs = {1, 0, 1, 0};
    settings.filters = {{true, 0, selection::Binary, output_form::AsReceived, 3}};
    auto almanac = [](std::uint8_t satellite, std::uint8_t fill) {
        const Frame frame = codecs::test::sbinFrame('A', Frame{satellite, 0x09, 0x29} + Frame(24, fill));
        return std::string(frame.begin(), frame.end());
    };
    const Frame ephemerisFrame = codecs::test::sbinFrame('E', Frame{4, 0x09, 0x29} + Frame(72, 1));
    const Frame healthFrame = codecs::test::sbinFrame('S', Frame(10, 2));
    const std::string ephemeris(ephemerisFrame.begin(), ephemerisFrame.end());
    const std::string health(healthFrame.begin(), healthFrame.end());
    Recorder recorder(settings, &port);
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    for (const std::string& message : {almanac(3, 1), almanac(5, 1), almanac(3, 2), ephemeris, health})
        feed(message);
    recorder.stop();
    ASSERT_EQ(readFile(file(1)).messages.size(), 5u);
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    recorder.stop();
    const std::vector<std::pair<char, std::string>> repeated
        = {{'D', almanac(3, 2)}, {'D', almanac(5, 1)}, {'D', health}};
    EXPECT_EQ(readFile(file(2)).messages, repeated);
}

// A filter's output form converts through the codecs; a frame they cannot convert is neither written nor counted.
TEST_F(RecorderTest, ConvertsTextFramesToBinary)
{
    codecs::registerMessageCodecs();
    settings.filters = {{true, 0, selection::TextAndUhf, output_form::Binary, 3}};
    Recorder recorder(settings, &port);
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    feed("\x02\r\n!A,1,2.0\r\n41,100\r\n0,0,0,0,0,0,0,0\r\n\x03");
    feed("\x02\r\n!A,1,2.0\r\n33,100\r\n0,0,0,0,0,0,0,0\r\n\x03"); // no such satellite
    recorder.stop();
    EXPECT_EQ(recorder.messagesMatched(), 1u);
    const auto messages = readFile(file(1)).messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, 'D');
    EXPECT_EQ(messages[0].second.substr(0, 2),
              "\xFE"
              "A");
    EXPECT_EQ(messages[0].second[4], 41);
}

// Refused at start (a phrase the schedule refuses), or armed without output when the output cannot be opened.
TEST_F(RecorderTest, RefusesWhatCannotBeRecorded)
{
    settings.durationText = "5 fortnights";
    EXPECT_NE(Recorder(settings, &port).start(kNow).value_or("").find("Available syntax"), std::string::npos);
    // A folder that does not exist: armed, nothing written, told once.
    settings.durationText = "Infinite";
    settings.directory = (folder / "missing").string();
    Recorder recorder(settings, &port);
    std::vector<std::string> told;
    recorder.setFailureHandler([&](const std::string& text) { told.push_back(text); });
    EXPECT_EQ(recorder.start(kNow), std::nullopt);
    feed(sentence(1));
    recorder.tick(kNow + 1);
    EXPECT_EQ(told, std::vector<std::string>{"Open stream failed"});
    EXPECT_EQ(recorder.statusText(), "WAITING");
    EXPECT_EQ(recorder.messagesReceived(), 0u);
}

// Status by the second: no message, messages no filter takes, matched messages; the level counts the messages of
// the last three seconds.
TEST_F(RecorderTest, StatusFollowsTheTraffic)
{
    Recorder recorder(settings, &port);
    EXPECT_EQ(recorder.statusText(), "NO DISC");
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    recorder.tick(kNow + 1);
    EXPECT_EQ(recorder.statusText(), "NO DATA");
    feed("\x02!A,1\x03");
    recorder.tick(kNow + 2);
    EXPECT_EQ(recorder.statusText(), "NO MATCH");
    feed(sentence(1));
    recorder.tick(kNow + 3);
    EXPECT_EQ(recorder.statusText(), "RECORDING");
    EXPECT_EQ(recorder.level(), Recorder::levelFor(2));
    recorder.tick(kNow + 4);
    recorder.tick(kNow + 5);
    EXPECT_EQ(recorder.level(), Recorder::levelFor(1));
    recorder.tick(kNow + 6);
    EXPECT_EQ(recorder.level(), 0);
    EXPECT_EQ(Recorder::levelFor(14), 9);
    EXPECT_EQ(Recorder::levelFor(15), 10);
}

// The window shows the file with its size in the largest unit below 1024, and the period's dates day first.
TEST(RecorderTexts, FileSizeInItsUnitAndDatesDayFirst)
{
    EXPECT_EQ(Recorder::fileText("run", 3, 1023), "run#3 (1023 b)");
    EXPECT_EQ(Recorder::fileText("run", 3, 1536), "run#3 (1.5 Kb)");
    EXPECT_EQ(Recorder::fileText("run", 3, std::uint64_t{5} << 40), "run#3 (5120.0 Gb)");
    const auto time = LocalTime::parse("2026-03-04 05:06:07");
    ASSERT_TRUE(time);
    EXPECT_EQ(Recorder::dateText(*time), "04/03/2026 05:06:07");
}

// A full disk: what was refused is not counted, the failure is told once from tick(), and nothing more is written.
TEST_F(RecorderTest, WriteFailureIsToldOnceAndStopsWriting)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    Recorder recorder(settings, &port);
    std::vector<std::string> told;
    recorder.setFailureHandler([&](const std::string& text) { told.push_back(text); });
    ASSERT_EQ(recorder.start(kNow), std::nullopt);
    feed(sentence(1));
    recorder.tick(kNow + 1); // written at the tick
    const std::uint64_t before = recorder.bytesWritten();
    rlimit small = saved;
    small.rlim_cur = std::filesystem::file_size(file(1));
    ::setrlimit(RLIMIT_FSIZE, &small);
    feed(sentence(2));
    feed(sentence(3));
    EXPECT_TRUE(told.empty()) << "told from inside the receive notification";
    recorder.tick(kNow + 2);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    feed(sentence(4));
    recorder.tick(kNow + 3);
    EXPECT_EQ(told.size(), 1u);
    EXPECT_EQ(recorder.bytesWritten(), before);
    EXPECT_EQ(recorder.messagesMatched(), 3u);
    EXPECT_EQ(recorder.statusText(), "WRITE FAILED");
    recorder.stop();
    EXPECT_EQ(readFile(file(1)).messages.size(), 1u);
}

// What waits for the disk is bounded: a record past the limit is refused, whole. What was taken reaches the file
// as framed records, the part after a cut in the next file of the series.
TEST(RecordBacklogTest, BoundsWhatWaitsAndRollsOverAtCuts)
{
    const std::vector<std::uint8_t> data(1000, 0x41);
    RecordBacklog backlog;
    std::size_t taken = 0;
    while (backlog.append(RecordHeader::message('A', 0, 0), data))
        ++taken;
    EXPECT_EQ(taken, RecordBacklog::kLimit / RecordFrame::sizeFor(data.size()));
    EXPECT_LE(backlog.size(), RecordBacklog::kLimit);

    testsupport::TempFolder folder;
    backlog.clear();
    FileSeriesStream series;
    series.setBasePath((folder / "b").string());
    ASSERT_EQ(series.openNumbered("wb"), stream::StreamStatus::Ok);
    ASSERT_TRUE(backlog.append(RecordHeader::message('A', 0, 0), data));
    backlog.cut(2, series.numberedName(2));
    ASSERT_TRUE(backlog.append(RecordHeader::message('B', 0, 0), data));
    ASSERT_TRUE(backlog.writeTo(series));
    series.close();
    const std::string bytes(data.begin(), data.end());
    EXPECT_EQ(readFile(series.numberedName(1)).messages, (std::vector<std::pair<char, std::string>>{{'A', bytes}}));
    EXPECT_EQ(readFile(series.numberedName(2)).messages, (std::vector<std::pair<char, std::string>>{{'B', bytes}}));
}

} // namespace
} // namespace zeb::recorder
