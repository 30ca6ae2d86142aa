#include "tools/sim/ByteSink.h"

#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

namespace zeb::tools::sim {
namespace {

TEST(ByteSink, StoresUpToTheLimitThenDropsAndCountsOnlyWhatWasWritten)
{
    testsupport::TempFolder folder;
    std::string error;
    ByteSink sink(10);
    ASSERT_TRUE(sink.open(folder / "sink", error)) << error;
    EXPECT_EQ(sink.store("0123456"), 7u);
    EXPECT_EQ(sink.store("789AB"), 3u);
    EXPECT_TRUE(sink.closedForWriting());
    EXPECT_EQ(sink.store("C"), 0u);
    EXPECT_EQ(folder.read("sink"), "0123456789");
    EXPECT_EQ(sink.dropped(), 3u);

    ByteSink full(10);
    ASSERT_TRUE(full.open("/dev/full", error)) << error;
    EXPECT_EQ(full.store("abc"), 0u) << "a failed write is not stored";
    EXPECT_TRUE(full.failed());
    EXPECT_EQ(full.dropped(), 3u);
}

} // namespace
} // namespace zeb::tools::sim
