#include "explorer/core/EntryTexts.h"

#include "explorer/core/EntryOrder.h"
#include "explorer/core/RemoteLocation.h"
#include "stream/rpc/RequestCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zeb::explorer {
namespace {

using stream::rpc::DirectoryEntry;
namespace file_type = stream::rpc::file_type;

DirectoryEntry file(std::string name, std::uint32_t size, std::uint32_t time = 0)
{
    return {std::move(name), size, time, file_type::Regular, 0644};
}

DirectoryEntry folder(std::string name, std::uint32_t time = 0)
{
    return {std::move(name), 4096, time, file_type::Directory, 0755};
}

TEST(EntryTextsTest, SizeTypeAndAttributeColumns)
{
    EXPECT_EQ(EntryTexts::size(file("a", 1023)), "1023 b");
    EXPECT_EQ(EntryTexts::size(file("a", 1024)), "1 Kb");
    EXPECT_EQ(EntryTexts::size(file("a", 3 * 1024 * 1024 + 5)), "3072 Kb");
    EXPECT_EQ(EntryTexts::size(folder("d")), "");
    EXPECT_EQ(EntryTexts::attributes(folder("d")), "drwxr-xr-x");
    EXPECT_EQ(EntryTexts::attributes(file("a", 1)), "-rw-r--r--");
    EXPECT_EQ(EntryTexts::type(folder("d")), "File Folder");
    EXPECT_EQ(EntryTexts::type({"p", 0, 0, file_type::Pipe, 0}), "Fifo");
    EXPECT_EQ(EntryTexts::type({"x", 0, 0, 99, 0}), "Undefined");
}

TEST(EntryTextsTest, ModifiedIsTheLocalCalendarTime)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(EntryTexts::modified(file("a", 1, 1765111505)), "7/12/2025 12:45:05");
}

TEST(EntryTextsTest, RemainingTimeFromElapsedTimeAndPercentage)
{
    EXPECT_EQ(EntryTexts::remaining(10, 50), "10 seconds remaining");
    EXPECT_EQ(EntryTexts::remaining(1, 50), "1 second remaining");
    EXPECT_EQ(EntryTexts::remaining(60, 50), "1 minute remaining");
    EXPECT_EQ(EntryTexts::remaining(61, 50), "1 minute 1 second remaining");
    EXPECT_EQ(EntryTexts::remaining(122, 50), "2 minutes 2 seconds remaining");
    EXPECT_EQ(EntryTexts::remaining(7, 100), "finished");
    EXPECT_EQ(EntryTexts::remaining(0, 50), "");
    EXPECT_EQ(EntryTexts::remaining(5, 0), "") << "no progress: no estimate, and no division by zero";
}

std::vector<std::string> sortedNames(std::vector<DirectoryEntry> entries, int key)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [key](const DirectoryEntry& a, const DirectoryEntry& b) { return EntryOrder::before(a, b, key); });
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    return names;
}

TEST(EntryTextsTest, SortingKeepsFoldersFirstAndReversesOnlyWhatTheKeySays)
{
    const std::vector<DirectoryEntry> entries
        = {file("small", 10, 3), folder("Zeta", 1), file("big", 900, 2), folder("alpha", 4), file("Mid", 10, 5)};
    EXPECT_EQ(sortedNames(entries, EntryOrder::kName),
              (std::vector<std::string>{"alpha", "Zeta", "big", "Mid", "small"}));
    EXPECT_EQ(sortedNames(entries, -EntryOrder::kName),
              (std::vector<std::string>{"Zeta", "alpha", "small", "Mid", "big"}));
    EXPECT_EQ(sortedNames(entries, EntryOrder::kSize),
              (std::vector<std::string>{"alpha", "Zeta", "Mid", "small", "big"}));
    EXPECT_EQ(sortedNames(entries, -EntryOrder::kSize),
              (std::vector<std::string>{"alpha", "Zeta", "big", "small", "Mid"}));
    EXPECT_EQ(sortedNames(entries, -EntryOrder::kTime),
              (std::vector<std::string>{"Mid", "alpha", "small", "big", "Zeta"}));
    EXPECT_EQ(EntryOrder::clicked(EntryOrder::kSize, EntryOrder::kSize), -EntryOrder::kSize);
    EXPECT_EQ(EntryOrder::clicked(-EntryOrder::kSize, EntryOrder::kSize), EntryOrder::kSize);
    EXPECT_EQ(EntryOrder::clicked(EntryOrder::kName, EntryOrder::kTime), EntryOrder::kTime);
}

TEST(EntryTextsTest, LocationsJoinWithOneSeparatorAndStopAtTheTop)
{
    const RemoteLocation top("/dev/client/rx/4001", "/");
    EXPECT_EQ(top.childPath("ide0a"), "/ide0a") << "never //ide0a";
    EXPECT_EQ(top.up().path(), "/");
    const auto disk = top.child("ide0a");
    ASSERT_TRUE(disk);
    EXPECT_EQ(disk->text(), "/dev/client/rx/4001///ide0a");
    EXPECT_EQ(disk->up().path(), "/");
    EXPECT_EQ(RemoteLocation("a", "/ide0a/LOG/").up().path(), "/ide0a");
    EXPECT_EQ(RemoteLocation::parse("/dev/client/rx/4001///ide0a/LOG")->path(), "/ide0a/LOG");
    EXPECT_FALSE(RemoteLocation::parse("/ide0a"));
    for (const char* bad : {"", ".", "..", "a/b", "../x"})
        EXPECT_FALSE(top.childPath(bad)) << bad;
    EXPECT_EQ(top.childPath("\xff\xfe"), "/\xff\xfe") << "names are bytes, not text";
}

} // namespace
} // namespace zeb::explorer
