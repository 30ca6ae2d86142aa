#include "remote-display/core/DisplayList.h"

#include "platform/HeadlessDispatcher.h"
#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayListWriter.h"
#include "remote-display/core/DisplayReceiver.h"
#include "remote-display/core/JsonPainter.h"
#include "remote-display/core/WireWords.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/rpc/RequestFrame.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace zeb::remote_display {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string interpreted(const std::string& list)
{
    JsonPainter painter;
    DisplayInterpreter::interpret(bytesOf(list), painter);
    return painter.lines();
}

struct InterpreterCase
{
    const char* what;
    std::function<void(DisplayListWriter&)> build;
    std::string expected;
};

class Interpreter : public ::testing::TestWithParam<InterpreterCase>
{ };

// Each list is built with the writer and read back as the operations the painter is given.
TEST_P(Interpreter, DrawsWhatTheListSays)
{
    DisplayListWriter writer(4000);
    GetParam().build(writer);
    EXPECT_EQ(interpreted(writer.operations()), GetParam().expected) << GetParam().what;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Lists, Interpreter,
    ::testing::Values(
        InterpreterCase{"the cursor counts cells of the current font from 1, with a margin of 2",
                        [](DisplayListWriter& w) { w.font("32x16").cursor(2, 3).text("OK"); },
                        "{\"op\": \"font\", \"name\": \"32x16\"}\n{\"op\": \"text\", \"x\": 34, \"y\": 32, \"text\": "
                        "\"OK\"}\n"},
        InterpreterCase{"an unknown font name changes nothing",
                        [](DisplayListWriter& w) { w.font("8x8").cursor(2, 2).text("A"); },
                        "{\"op\": \"text\", \"x\": 10, \"y\": 16, \"text\": \"A\"}\n"},
        InterpreterCase{"pens keep a known style, a bounded width and a 24-bit colour",
                        [](DisplayListWriter& w) {
                            w.pen({0, 1, 65280});
                            w.pen({99, 100000, 0xFF123456u});
                        },
                        "{\"op\": \"pen\", \"style\": 0, \"width\": 1, \"color\": 65280}\n"
                        "{\"op\": \"pen\", \"style\": 0, \"width\": 16, \"color\": 1193046}\n"},
        InterpreterCase{"texts and lines at finite coordinates are drawn rounded to pixels",
                        [](DisplayListWriter& w) { w.text(10.4, 20.6, "a\"b").line(0, 0, 319, 239); },
                        "{\"op\": \"text\", \"x\": 10, \"y\": 21, \"text\": \"a\\\"b\"}\n"
                        "{\"op\": \"line\", \"x1\": 0, \"y1\": 0, \"x2\": 319, \"y2\": 239}\n"},
        InterpreterCase{"non-finite or far-out coordinates skip just that operation",
                        [](DisplayListWriter& w) {
                            w.text(kNaN, 0, "x").line(0, 0, 1e300, 1).line(-INFINITY, 0, 0, 0).text(1, 2, "y");
                        },
                        "{\"op\": \"text\", \"x\": 1, \"y\": 2, \"text\": \"y\"}\n"},
        InterpreterCase{"row or column 0 or huge leaves the cursor where it was",
                        [](DisplayListWriter& w) { w.cursor(0, 5).cursor(3, 0).cursor(0xFFFFFFFFu, 1).text("c"); },
                        "{\"op\": \"text\", \"x\": 2, \"y\": 0, \"text\": \"c\"}\n"},
        InterpreterCase{"texts from the peer are escaped into valid JSON",
                        [](DisplayListWriter& w) { w.text("\x01\xE9\\"); },
                        "{\"op\": \"text\", \"x\": 2, \"y\": 0, \"text\": \"\\u0001\\u00e9\\\\\"}\n"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// A list that ends inside an operation (a text without its zero byte, operands cut) stops there;
// words the interpreter does not know are stepped over.
TEST(InterpreterCut, StopsAtAnOperationThatRunsPastTheEnd)
{
    DisplayListWriter writer(4000);
    writer.text(1, 1, "kept");
    std::string list = writer.operations();
    appendWord(list, 77);
    appendWord(list, DisplayInterpreter::kText);
    list += "no terminator";
    JsonPainter painter;
    const auto summary = DisplayInterpreter::interpret(bytesOf(list), painter);
    EXPECT_EQ(painter.lines(), "{\"op\": \"text\", \"x\": 1, \"y\": 1, \"text\": \"kept\"}\n");
    EXPECT_TRUE(summary.cut);

    list = writer.operations();
    appendWord(list, DisplayInterpreter::kLine);
    appendDouble(list, 1.0);
    EXPECT_TRUE(DisplayInterpreter::interpret(bytesOf(list), painter).cut);
}

// A paint starts from the small font and draws the red border before the list.
TEST(InterpreterPaint, DrawsTheBorderFirst)
{
    JsonPainter painter;
    DisplayInterpreter::paint({}, painter);
    EXPECT_EQ(painter.lines(),
              "{\"op\": \"font\", \"name\": \"16x8\"}\n"
              "{\"op\": \"pen\", \"style\": 0, \"width\": 0, \"color\": 255}\n"
              "{\"op\": \"line\", \"x1\": 0, \"y1\": 0, \"x2\": 319, \"y2\": 0}\n"
              "{\"op\": \"line\", \"x1\": 0, \"y1\": 0, \"x2\": 0, \"y2\": 239}\n"
              "{\"op\": \"line\", \"x1\": 0, \"y1\": 239, \"x2\": 319, \"y2\": 239}\n"
              "{\"op\": \"line\", \"x1\": 319, \"y1\": 0, \"x2\": 319, \"y2\": 239}\n");
}

void takeAll(DisplayList& list, const std::vector<std::string>& payloads)
{
    for (const std::string& payload : payloads)
        list.take(bytesOf(payload));
}

// The list written in pieces shows only once ended; until then the previous list stays shown.
TEST(DisplayList, ShowsAListOnlyOnceItEnded)
{
    DisplayList list;
    DisplayListWriter first(64);
    for (int i = 0; i < 10; ++i)
        first.text(i, i, "row");
    const auto payloads = first.payloads();
    ASSERT_GT(payloads.size(), 3u) << "pieces split at operation boundaries";
    takeAll(list, payloads);
    EXPECT_EQ(interpreted(std::string(reinterpret_cast<const char*>(list.shown().data()), list.shown().size())),
              interpreted(first.operations()));

    DisplayListWriter second(4000);
    second.text("next");
    const auto next = second.payloads();
    EXPECT_EQ(list.take(bytesOf(next[0])), DisplayList::Outcome::Taken);
    EXPECT_EQ(list.take(bytesOf(next[1])), DisplayList::Outcome::Taken);
    EXPECT_TRUE(list.writing());
    EXPECT_EQ(interpreted(std::string(reinterpret_cast<const char*>(list.shown().data()), list.shown().size())),
              interpreted(first.operations()));
    EXPECT_EQ(list.take(bytesOf(next[2])), DisplayList::Outcome::Completed);
    EXPECT_EQ(interpreted(std::string(reinterpret_cast<const char*>(list.shown().data()), list.shown().size())),
              "{\"op\": \"text\", \"x\": 2, \"y\": 0, \"text\": \"next\"}\n");
}

// Pieces outside a list, short payloads and other codes are ignored; a list that outgrows the
// capacity keeps what fitted before the first refused piece, and no later piece.
TEST(DisplayList, RefusesStrayPiecesAndNeverLeavesHoles)
{
    DisplayList list;
    std::string append;
    appendWord(append, DisplayList::kAppend);
    EXPECT_EQ(list.take(bytesOf(append)), DisplayList::Outcome::Ignored);
    EXPECT_EQ(list.take(bytesOf(std::string("\xA6\x0F", 2))), DisplayList::Outcome::Ignored);
    std::string end;
    appendWord(end, DisplayList::kEnd);
    EXPECT_EQ(list.take(bytesOf(end)), DisplayList::Outcome::Ignored);

    std::string begin;
    appendWord(begin, DisplayList::kBegin);
    list.take(bytesOf(begin));
    const std::string big = append + std::string(7000, 'x');
    list.take(bytesOf(big));
    list.take(bytesOf(big));
    list.take(bytesOf(append));
    EXPECT_EQ(list.take(bytesOf(end)), DisplayList::Outcome::Completed);
    EXPECT_EQ(list.shown().size(), big.size());
    EXPECT_TRUE(list.shownTruncated());
}

// The receiver stays its stream's request window across a close and a reopen (a reconnect), and
// is told of every opening, so the view can switch the receiver's screen on each time.
TEST(DisplayReceiver, KeepsReceivingAfterTheStreamReopens)
{
    testsupport::TempFolder root;
    stream::rpc::installRemoteRequests(root.path());
    platform::HeadlessDispatcher dispatcher;
    int completed = 0;
    int opened = 0;
    // The stream outlives the receiver, which leaves it when it goes.
    stream::IOSTStream stream(stream::IOSTStream::kAnonymous);
    DisplayReceiver receiver({[&] { ++completed; }, [&] { ++opened; }, {}});
    receiver.attach(&stream);
    DisplayListWriter writer(4000);
    writer.text("up");
    auto feedList = [&] {
        for (const std::string& payload : writer.payloads()) {
            std::array<std::uint8_t, stream::rpc::RequestFrame::kMaxSize> frame{};
            const std::size_t size
                = stream::rpc::RequestFrame::build(stream::rpc::request_kind::Record, 0, bytesOf(payload), frame);
            stream.feed({frame.data(), size});
        }
    };
    const std::string path = (root.path() / "link").string();
    for (int round = 1; round <= 2; ++round) {
        ASSERT_EQ(stream.open(path, "w+b"), stream::StreamStatus::Ok);
        feedList();
        stream.close();
        EXPECT_EQ(completed, round);
        EXPECT_EQ(opened, round);
    }
}

} // namespace
} // namespace zeb::remote_display
