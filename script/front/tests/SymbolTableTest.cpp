#include "script/front/SymbolTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

using zeb::script::Name;
using zeb::script::SymbolTable;

namespace {

// Threads that intern the same texts at once, each through its own cache of recent names, must
// all get the one copy of each text.
TEST(SymbolTable, GivesEveryThreadTheSameCopyOfEachText)
{
    constexpr int kThreads = 4;
    constexpr int kTexts = 5000;
    std::array<std::vector<Name>, kThreads> seen;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &seen] {
            for (int round = 0; round < 2; ++round) {
                for (int i = 0; i < kTexts; ++i) {
                    const Name name = SymbolTable::intern("shared" + std::to_string(i));
                    if (round == 0)
                        seen[t].push_back(name);
                    else if (seen[t][i] != name)
                        seen[t][i] = nullptr;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kTexts; ++i) {
            ASSERT_NE(seen[t][i], nullptr);
            ASSERT_EQ(seen[t][i], seen[0][i]);
            ASSERT_EQ(*seen[t][i], "shared" + std::to_string(i));
        }
    }
}

} // namespace
