#include "script/front/Compiler.h"
#include "script/vm/Run.h"
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"
#include "testsupport/EventJournal.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace zeb;
using namespace zeb::script;
using namespace zeb::script::vm;
using stream::IOSTStream;
using stream::StreamStatus;

namespace {

// Runs the script with "@DIR@" standing for the folder. The identifiers of these tests are far
// from the application connection's and from each other's.
std::string runScript(std::string text, const std::filesystem::path& folder = {})
{
    for (std::size_t at = text.find("@DIR@"); at != std::string::npos; at = text.find("@DIR@"))
        text.replace(at, 5, folder.string());
    static Machine machine;
    Compiler compiler;
    EXPECT_TRUE(compiler.compile(text)) << compiler.errorText();
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    EXPECT_EQ(run.runMain({std::chrono::seconds(30), 0}), Run::Result::Finished);
    return sink.text();
}

TEST(StreamClass, NewTakesOnlyAFreeIdentifierAndItsStreamGoesWithTheRun)
{
    const IOSTStream taken(231);
    const std::string output = runScript(R"(main {
        (Stream new: 231) printLine;
        (Stream new: 256) printLine;
        (Stream new: "232") printLine;
        (Stream new: 232) printLine;
        (Stream at: 232) printLine;
        (Stream at: "#232") printLine;
        (Stream at: 233) printLine;
        streams = Stream;
        Stream = 0;
        (streams new: 233) printLine;
        Stream = streams;
    })");
    EXPECT_EQ(output, "0\r\n0\r\n0\r\naStream\r\naStream\r\naStream\r\n0\r\naStream\r\n");
    EXPECT_EQ(stream::StreamRegistry::instance().byIdentifier(231), &taken);
    EXPECT_EQ(stream::StreamRegistry::instance().byIdentifier(232), nullptr);
    EXPECT_EQ(stream::StreamRegistry::instance().byIdentifier(233), nullptr);
}

TEST(StreamClass, DeleteClosesAnOwnedStreamButNeverABorrowedOne)
{
    const testsupport::TempFolder folder;
    IOSTStream borrowed(234);
    ASSERT_EQ(borrowed.open((folder / "borrowed.txt").string(), "wb"), StreamStatus::Ok);
    const std::string output = runScript(R"(main {
        local s, t;
        s = Stream at: 234;
        s delete;
        s printLine;
        (Stream at: 234) write: "kept";
        t = Stream new: 235;
        (t open: "@DIR@/owned.txt" mode: "wb") printLine;
        (t write: "owned") printLine;
        t delete;
        (Stream at: 235) printLine;
    })",
                                         folder.path());
    EXPECT_EQ(output, "anUndefinedObject\r\n0\r\n5\r\n0\r\n");
    EXPECT_TRUE(borrowed.isOpen());
    borrowed.close();
    EXPECT_EQ(folder.read("borrowed.txt"), "kept");
    EXPECT_EQ(folder.read("owned.txt"), "owned");
}

// Each Stream object subscribes one callback; its subscribers are sent each event, newest
// Stream object first, with their prints in the run's output; a message is gone once its
// handler returned, and an unsubscribed object hears nothing more.
TEST(StreamClass, SubscribersGetEachEventUntilTheyUnsubscribe)
{
    const testsupport::TempFolder folder;
    testsupport::EventJournal journal; // outlives the stream, which tells it of its close
    IOSTStream link(237);
    std::size_t subscribersAtSend = 0;
    journal.onEntry([&](const testsupport::EventJournal::Entry& entry) {
        if (entry.code == stream::StreamEventCode::Send)
            subscribersAtSend = link.subscriberCount();
    });
    journal.subscribeTo(link);
    const std::string output = runScript(R"(
        local link, kept;
        onStreamOpen: s { "open " print; (s == link) printLine; }
        onStreamClose: s { "close" printLine; }
        onStream: s send: m { "send " print; m asString print; kept = m; }
        main {
            link = Stream at: 237;
            (link subscribe: self) printLine;
            link subscribe: 5;
            (Stream at: 237) subscribe: self;
            (link open: "@DIR@/link.txt" mode: "wb") printLine;
            link write: "a\r\n";
            kept printLine;
            link unSubscribe: 5;
            (link unSubscribe: self) printLine;
            link write: "b\r\n";
            link close;
        })",
                                         folder.path());
    // Opening by text closes first.
    EXPECT_EQ(output,
              "1\r\n"
              "close\r\nclose\r\n5 doesNotUnderstand:onStreamClose:\r\n"
              "open 0\r\nopen 1\r\n5 doesNotUnderstand:onStreamOpen:\r\n0\r\n"
              "send a\r\nsend a\r\n5 doesNotUnderstand:onStream:send:\r\n"
              "anUndefinedObject\r\n1\r\n"
              "send b\r\n"
              "close\r\n");
    EXPECT_EQ(subscribersAtSend, 3u); // the journal and one callback per Stream object
    EXPECT_EQ(link.subscriberCount(), 1u);
    EXPECT_EQ(folder.read("link.txt"), "a\r\nb\r\n");
}

} // namespace
