#include "autotest/core/OutputQueue.h"

#include <gtest/gtest.h>

#include <string>

using zeb::autotest::OutputQueue;

namespace {

TEST(OutputQueue, WakesOncePerBatchAndKeepsEveryByteAsText)
{
    int wakes = 0;
    OutputQueue queue([&wakes] { ++wakes; });
    // A text starting with byte 4 is output like any other: clearing is a request of its own.
    queue.write("\004abc");
    queue.write("def\r\n");
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(queue.take(), "\004abcdef\r\n");
    queue.write("x");
    EXPECT_EQ(wakes, 2);
    queue.discard();
    EXPECT_EQ(queue.take(), "");
}

TEST(OutputQueue, AScriptPrintingInALoopKeepsItsNewestLinesWithinTheBound)
{
    OutputQueue queue;
    const std::string line(100, 'a');
    for (int i = 0; i < 100000; ++i)
        queue.write(std::to_string(i) + line + "\r\n");
    EXPECT_LE(queue.pending(), OutputQueue::kMaxPending);
    const std::string text = queue.take();
    EXPECT_TRUE(text.ends_with("99999" + line + "\r\n"));
    // What is left starts at the beginning of a line.
    EXPECT_NE(text.front(), 'a');
    // One huge text is bounded too.
    queue.write(std::string(3 * OutputQueue::kMaxPending, 'b'));
    EXPECT_LE(queue.pending(), OutputQueue::kMaxPending);
}

} // namespace
