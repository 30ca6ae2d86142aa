#include "terminal/core/Dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zeb::terminal {

// Found by argument-dependent lookup, so it lives in the types' namespace.
void PrintTo(const DictionaryEntry& entry, std::ostream* out)
{
    *out << ::testing::PrintToString(entry.label) << " = " << ::testing::PrintToString(entry.value);
}

using Entries = std::vector<DictionaryEntry>;

namespace {

// Plain entries of several lines are the written-and-read test's.
TEST(Dictionary, ReadsEntriesLineByLine)
{
    const std::string longLine(1022, 'x'); // with its LF: the longest line there may be
    const std::vector<std::tuple<const char*, std::string, Entries>> cases = {
        {"LastLabelWithoutValueIsDropped", "A\r\n\tv\r\nB\r\n", {{"A", "v\r\n"}}},
        {"BlankLinesAreLabelsWithoutValues", "A\r\n\tv\r\n\r\n\r\nB\r\n\tw\r\n", {{"A", "v\r\n"}, {"B", "w\r\n"}}},
        {"OnlyTheFirstTabGoes", "A\r\n\t\tv\r\n", {{"A", "\tv\r\n"}}},
        {"LfOnlyLinesEndInCrLf", "A\n\tv1\n\tv2\n", {{"A", "v1\r\nv2\r\n"}}},
        {"LastLineWithoutLfEndsReading", "A\r\n\tv\r\nB\r\n\tw", {{"A", "v\r\n"}}},
        {"LongLineEndsReading", "A\r\n\tv\r\nB\r\n\t" + longLine + "\nC\r\n\tz\r\n", {{"A", "v\r\n"}}},
        {"LongestLineIsRead", "A\r\n\t" + longLine.substr(1) + "\n", {{"A", longLine.substr(1) + "\r\n"}}},
    };
    for (const auto& [name, file, entries] : cases) {
        Dictionary dictionary;
        dictionary.add("stale", "x\r\n");
        dictionary.readFrom(file);
        EXPECT_EQ(dictionary.entries(), entries) << name;
    }
}

TEST(Dictionary, WhatIsWrittenReadsBackWithEveryLineInCrLf)
{
    Dictionary written;
    written.add("Reset", "$PKVR,RESET\r\n");
    written.add("Two lines", "$PKVR,A\r\n$PKVR,B\r\n");
    written.add("No line end", "$PKVR,ID");
    written.add("Empty", "");
    written.add("Unix", "a\nb\n");
    Dictionary read;
    read.readFrom(written.toText());
    EXPECT_EQ(read.entries(),
              (Entries{{"Reset", "$PKVR,RESET\r\n"},
                       {"Two lines", "$PKVR,A\r\n$PKVR,B\r\n"},
                       {"No line end", "$PKVR,ID\r\n"},
                       {"Unix", "a\r\nb\r\n"}}));
}

} // namespace
} // namespace zeb::terminal
