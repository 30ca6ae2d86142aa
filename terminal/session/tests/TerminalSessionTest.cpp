#include "terminal/session/TerminalSession.h"

#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "terminal/session/tests/RecordingSink.h"
#include "testsupport/AllocationCounter.h"
#include "testsupport/ScratchHome.h"
#include "testsupport/WaitFor.h"
#include "text/Scan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace zeb::terminal::test {
namespace {

namespace fs = std::filesystem;

class ScriptedPrompt : public PromptHandler
{
public:
    PromptResult prompt(std::vector<PromptRow>& rows) override
    {
        seen.push_back(rows);
        for (PromptRow& row : rows) {
            const auto answer = answers.find(row.label);
            if (answer != answers.end()) {
                row.value = answer->second;
            }
        }
        return result;
    }

    PromptResult result = PromptResult::Accept;
    std::map<std::string, std::string> answers;
    std::vector<std::vector<PromptRow>> seen;
};

// Counts what the stream sends, message by message.
class SendLog : public stream::StreamListener
{
public:
    void onSend(const stream::StreamEvent& event) override { sizes.push_back(event.length()); }
    std::vector<std::size_t> sizes;
};

std::string readAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class TerminalSessionTest : public ::testing::Test
{
protected:
    TerminalSessionTest()
    {
        session.attach(&link);
        link.subscribeListener(&session);
    }
    ~TerminalSessionTest() override { link.close(); }

    void open() { ASSERT_EQ(link.open(output, "w+b"), stream::StreamStatus::Ok); }
    void receive(std::string_view text)
    {
        link.feed(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    // Everything written to the stream so far, once it is closed.
    std::string written()
    {
        link.close();
        return readAll(output);
    }
    std::string path(const char* name) const { return scratch.path(name); }

    // Options a test stores must not reach the next one.
    const bool freshSettings = (platform::Settings::install(std::make_shared<platform::MemorySettings>()), true);
    testsupport::ScratchHome scratch;
    const fs::path& m_folder = scratch.folder();
    std::string output = scratch.path("stream.bin");
    RecordingSink sink;
    ScriptedPrompt prompt;
    std::vector<std::string> reports;
    stream::IOSTStream link{stream::IOSTStream::kAnonymous};
    TerminalSession session{sink, prompt, [this](std::string_view message) { reports.emplace_back(message); }};
};

TEST_F(TerminalSessionTest, StartsInactiveAndFollowsTheStream)
{
    TerminalSession alone(sink, prompt);
    EXPECT_FALSE(alone.active());
    EXPECT_TRUE(alone.inactiveAutomatically());
    alone.attach(&link);
    EXPECT_FALSE(alone.active()) << "the stream is not open";

    open();
    EXPECT_TRUE(alone.refreshState());
    EXPECT_TRUE(alone.active());
    EXPECT_FALSE(alone.refreshState()) << "no change";

    link.close();
    EXPECT_TRUE(alone.refreshState());
    EXPECT_FALSE(alone.active());
    EXPECT_TRUE(alone.inactiveAutomatically());
    open();
    alone.refreshState();
    EXPECT_TRUE(alone.active()) << "back once the stream opens again";

    alone.suspend();
    EXPECT_FALSE(alone.active());
    EXPECT_FALSE(alone.inactiveAutomatically());
    EXPECT_FALSE(alone.refreshState()) << "suspended by hand stays suspended";
    link.close();
    alone.refreshState();
    open();
    alone.refreshState();
    EXPECT_FALSE(alone.active()) << "closing an inactive view does not set the automatic flag";
}

TEST_F(TerminalSessionTest, RtcmCaptureGivesOneSummaryLinePerMessage)
{
    const char* source = std::getenv("ZEB500_SOURCE_DIR");
    std::ifstream file(std::string(source ? source : ".") + "/data/captures/rtcm2/sample.rtcm2", std::ios::binary);
    ASSERT_TRUE(file) << "the capture under data/captures";
    open();
    session.attach(&link);
    receive(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    std::size_t messages = 0;
    for (const Piece& piece : sink.pieces) {
        unsigned type = 0;
        unsigned week = 0;
        double seconds = -1;
        if (text::scan(piece.text, "Receive message RTCM #%u stamped %u:%lf", &type, &week, &seconds) != 3)
            continue;
        EXPECT_EQ(piece.colour, 0x00FFFFU);
        EXPECT_EQ(type, 9U);
        EXPECT_TRUE(seconds >= 0 && seconds < 604800) << piece.text;
        ++messages;
    }
    EXPECT_GE(messages, 120U) << "the capture holds 131 messages of type 9";
}

TEST_F(TerminalSessionTest, InputFiltersAnswerReceivedAndSentTelecommands)
{
    open();
    session.attach(&link);
    session.inputFilters().add(true, "$PKVR,SET,%[Mode],%[Value]");
    prompt.answers["Value"] = "13";
    receive("$PKVR,SET,A,12*7F\r\n");
    ASSERT_EQ(prompt.seen.size(), 1U);

    session.suspend();
    prompt.answers["Value"] = "2";
    EXPECT_TRUE(session.sendTelecommand("$PKVR,SET,B,1\r\n"));
    EXPECT_EQ(prompt.seen.size(), 2U) << "sent telecommands are offered too, also while suspended";

    // The stream tells its subscribers of a send before it transmits, so the answer to a sent telecommand
    // leaves ahead of it.
    EXPECT_EQ(written(), "$PKVR,SET,A,13\r\n$PKVR,SET,B,2\r\n$PKVR,SET,B,1\r\n");
}

TEST_F(TerminalSessionTest, AnAnswerWaitsForTheOpenSendPromptToClose)
{
    // The prompt of a send is modal: received telecommands are still served meanwhile, and their answer is
    // asked for once the send's prompt has closed.
    class NestedPrompt : public PromptHandler
    {
    public:
        explicit NestedPrompt(std::function<void()> during)
            : m_during(std::move(during))
        {
        }
        PromptResult prompt(std::vector<PromptRow>& rows) override
        {
            if (!rows.empty() && rows[0].label == "Outer") {
                m_during();
                rows[0].value = "outer";
            } else if (!rows.empty()) {
                rows[0].value = "inner";
            }
            return PromptResult::Accept;
        }

    private:
        std::function<void()> m_during;
    };
    open();
    NestedPrompt nested([this] { receive("$PKVR,ASK,x\r\n"); });
    TerminalSession own(sink, nested);
    link.subscribeListener(&own);
    own.attach(&link);
    session.detach();
    own.inputFilters().add(true, "$PKVR,ASK,%[Inner]");
    EXPECT_TRUE(own.sendTelecommand("$PKVR,OUT,%[Outer],%[Second=s]\r\n"));
    EXPECT_EQ(written(), "$PKVR,OUT,outer,s\r\n$PKVR,ASK,inner\r\n");
}

TEST_F(TerminalSessionTest, WithASchedulerFiltersAskOutsideTheEventAndABoundedQueueWaits)
{
    open();
    int scheduled = 0;
    session.setPromptScheduler([&] { ++scheduled; });
    session.inputFilters().add(true, "$PKVR,SET,%[Mode]");
    for (int i = 0; i < 10; ++i) {
        receive("$PKVR,SET,A\r\n");
    }
    EXPECT_TRUE(prompt.seen.empty()) << "no prompt inside the receive event";
    EXPECT_GT(scheduled, 0);
    EXPECT_EQ(session.pendingPrompts(), TerminalSession::kMaxPendingPrompts) << "the rest are dropped";
    session.runPendingPrompts();
    EXPECT_EQ(prompt.seen.size(), TerminalSession::kMaxPendingPrompts);

    receive("$PKVR,SET,B\r\n");
    link.close();
    session.runPendingPrompts();
    EXPECT_EQ(prompt.seen.size(), TerminalSession::kMaxPendingPrompts) << "a closed stream's prompts are dropped";
    EXPECT_EQ(session.pendingPrompts(), 0U);
}

TEST_F(TerminalSessionTest, TheReceivePathAllocatesNothingOnceWarm)
{
    open();
    session.attach(&link);
    session.inputFilters().add(true, "$PKVR,SET,%[Mode]");
    sink.keep = false;
    const std::string sentences = "$GPGSV,3,1,12,01,02,03,04*70\r\n\x02\r\n!Z,1\r\n\x03$PKVR,GET,A*00\r\n";
    receive(sentences);
    const std::size_t shown = sink.count;
    const testsupport::AllocationCounter counter;
    for (int i = 0; i < 100; ++i) {
        receive(sentences);
    }
    EXPECT_EQ(counter.count(), 0U);
    EXPECT_EQ(sink.count, shown * 101);
    EXPECT_TRUE(prompt.seen.empty());
}

TEST_F(TerminalSessionTest, SendsFilesInBlocks)
{
    open();
    session.attach(&link);
    SendLog log;
    link.subscribeListener(&log);
    // The sender's thread tells of each block; the session itself is served on one thread only.
    link.setListenerState(&session, stream::SubscriberState::Disabled);
    std::string contents;
    for (int i = 0; i < 2500; ++i) {
        contents += static_cast<char>('a' + i % 26);
    }
    {
        std::ofstream file(path("send.txt"), std::ios::binary);
        file << contents;
    }
    EXPECT_TRUE(session.sendFile(path("send.txt")));
    ASSERT_TRUE(testsupport::waitFor(
        [&] {
            session.continueFileSend();
            return !session.sendingFile();
        },
        "the file's end"));
    EXPECT_EQ(log.sizes, (std::vector<std::size_t>{1024, 1024, 452}));

    EXPECT_FALSE(session.sendFile(m_folder.string()));
    EXPECT_EQ(reports, (std::vector<std::string>{"File " + m_folder.string() + " does not exist"}));
    EXPECT_EQ(log.sizes.size(), 3U);
    EXPECT_EQ(written(), contents);
}

TEST_F(TerminalSessionTest, SuspendedByHandKeepsTheNewestLinesForTheResume)
{
    open();
    session.attach(&link);
    session.suspend();
    for (int i = 0; i < 300; ++i)
        receive("$GPZDA," + std::to_string(i) + "*00\r\n");
    EXPECT_TRUE(sink.pieces.empty());
    session.suspend();
    ASSERT_EQ(sink.pieces.size(), 256U);
    EXPECT_EQ(sink.pieces.front(), (Piece{SuspendBuffer::kNoteColour, "(45 older lines dropped while suspended)\r"}));
    EXPECT_EQ(sink.pieces[1], (Piece{0xFF0000, "$GPZDA,45*00\r"}));
    receive("$GPZDA,300*00\r\n");
    EXPECT_EQ(sink.pieces.back().text, "$GPZDA,300*00\r\n") << "shown live again";
}

TEST_F(TerminalSessionTest, StampsLogsAndCompletesChecksums)
{
    open();
    session.attach(&link);
    TerminalOptions options = session.options();
    options.timeStamps = options.nmeaChecksum = true;
    session.applyOptions(options);
    ASSERT_TRUE(session.startLog(path("text.log"), TerminalLog::Mode::Text));
    receive("$GPZDA,1*00\r\n");
    EXPECT_TRUE(session.sendTelecommand("$PKVR,X\\r\\n"));
    const auto stamped = [](const std::string& text, std::string_view rest) {
        const std::string_view shape = "00:00:00.000 ";
        if (text.size() != shape.size() + rest.size() || text.substr(shape.size()) != rest)
            return false;
        for (std::size_t i = 0; i < shape.size(); ++i) {
            if (shape[i] == '0' ? std::isdigit(static_cast<unsigned char>(text[i])) == 0 : text[i] != shape[i])
                return false;
        }
        return true;
    };
    ASSERT_EQ(sink.pieces.size(), 2U);
    EXPECT_TRUE(stamped(sink.pieces[0].text, "$GPZDA,1*00\r\n")) << sink.pieces[0].text;
    EXPECT_TRUE(stamped(sink.pieces[1].text, "$PKVR,X*6B\r\n")) << sink.pieces[1].text;

    ASSERT_TRUE(session.startLog(path("raw.log"), TerminalLog::Mode::Raw));
    const std::string bytes = "$GPZDA,2*00\r\n\x01\x02\xff$GPZDA,3*00\r\n";
    receive(bytes);
    session.stopLog();
    EXPECT_EQ(session.log().takeError(), "");
    EXPECT_EQ(readAll(path("text.log")), sink.pieces[0].text + sink.pieces[1].text);
    EXPECT_EQ(readAll(path("raw.log")), bytes);
    EXPECT_EQ(written(), "$PKVR,X*6B\r\n");
}

TEST(TerminalLog, FailuresAreReportedOnce)
{
    TerminalLog log;
    EXPECT_FALSE(log.start("/nonexistent/folder/x.log", TerminalLog::Mode::Text));
    EXPECT_EQ(log.takeError(), "Cannot open the log file /nonexistent/folder/x.log: No such file or directory");
    ASSERT_TRUE(log.start("/dev/full", TerminalLog::Mode::Raw));
    log.write("bytes");
    log.stop();
    EXPECT_EQ(log.takeError(), "Cannot write the log file /dev/full: No space left on device");
    EXPECT_EQ(log.takeError(), "");
}

TEST(LineStamper, OneStampPerLineAcrossPieces)
{
    LineStamper stamper;
    EXPECT_EQ(stamper.stamp("a\r", "S "), "S a\r");
    EXPECT_EQ(stamper.stamp("\nb", "S "), "\nS b");
    EXPECT_EQ(stamper.stamp("c\rd\0e", "S "), "c\rS d");
}

} // namespace
} // namespace zeb::terminal::test
