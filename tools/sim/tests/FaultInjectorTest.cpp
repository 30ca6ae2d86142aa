#include "tools/sim/FaultInjector.h"

#include <gtest/gtest.h>

#include <set>

namespace zeb::tools::sim {
namespace {

using Seconds = std::chrono::duration<double>;

const std::string kSentence = "$GPGGA,131519.00,4153.85990,N,08738.63638,W,2,12,0.95,218.1,M,-33.9,M,,0000*6F\r\n";

// Indexes of the sentences sent with an altered checksum, out of `count`.
std::set<std::size_t> corruptedOf(FaultInjector& faults, std::size_t count)
{
    std::set<std::size_t> altered;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string out = faults.apply(kSentence, true);
        EXPECT_EQ(out.size(), kSentence.size());
        EXPECT_EQ(out.substr(0, out.size() - 4), kSentence.substr(0, kSentence.size() - 4));
        if (out != kSentence)
            altered.insert(i);
    }
    return altered;
}

TEST(FaultInjector, CorruptsExactlyTheRequestedFractionReproducibly)
{
    FaultSettings settings;
    settings.corruptFraction = 0.25;
    settings.seed = 7;
    FaultInjector first(settings);
    FaultInjector again(settings);
    const auto altered = corruptedOf(first, 1000);
    EXPECT_EQ(altered.size(), 250u);
    EXPECT_EQ(corruptedOf(again, 1000), altered);

    settings.seed = 8;
    FaultInjector other(settings);
    const auto otherAltered = corruptedOf(other, 1000);
    EXPECT_NE(otherAltered, altered);
}

TEST(FaultInjector, GarbageGoesBeforeThePieceAndStartsNoSentence)
{
    FaultSettings settings;
    settings.garbageRate = 1.0;
    FaultInjector faults(settings);
    for (int i = 0; i < 200; ++i) {
        const std::string out = faults.apply(kSentence, true);
        ASSERT_GT(out.size(), kSentence.size());
        ASSERT_LE(out.size(), kSentence.size() + FaultInjector::kGarbageMax);
        EXPECT_EQ(out.substr(out.size() - kSentence.size()), kSentence);
        EXPECT_EQ(out.find('$'), out.size() - kSentence.size());
    }
}

TEST(FaultInjector, StallsAtTheEndOfEveryPeriodAndDropsAfterItsTime)
{
    FaultSettings settings;
    settings.stallSeconds = 3;
    settings.stallEverySeconds = 10;
    settings.dropAfterSeconds = 1.5;
    const FaultInjector faults(settings);
    const std::pair<double, bool> stalls[] = {{9.9, false}, {10, true}, {12.9, true}, {13, false}};
    for (const auto& [at, stalled] : stalls)
        EXPECT_EQ(faults.stalled(Seconds(at)), stalled) << at;
    EXPECT_FALSE(faults.dropDue(Seconds(1.4)));
    EXPECT_TRUE(faults.dropDue(Seconds(1.5)));
    const FaultInjector calm(FaultSettings{});
    EXPECT_FALSE(calm.stalled(Seconds(1e6)));
}

} // namespace
} // namespace zeb::tools::sim
