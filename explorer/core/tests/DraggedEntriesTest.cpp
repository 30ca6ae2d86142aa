#include "explorer/core/DraggedEntries.h"

#include "explorer/core/StagingArea.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

namespace zeb::explorer {
namespace {

namespace fs = std::filesystem;
using Fit = DraggedEntries::Fit;

const std::string kRx = "/dev/client/rx/1";

TEST(DraggedEntriesTest, ReadsBackWhatItWroteAndOnlyLinesThatNameOneEntry)
{
    const std::string text = DraggedEntries::write({{kRx, "/ide0a/LOG"}, {kRx, "/ide0a/\xff.bin"}});
    EXPECT_EQ(text, kRx + "///ide0a/LOG\n" + kRx + "///ide0a/\xff.bin\n");
    const auto back = DraggedEntries::read(text);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(DraggedEntries::nameOf(back[1]), "\xff.bin");
    // A name holding a line break would read back as another entry, perhaps one a move deletes.
    EXPECT_EQ(DraggedEntries::write({{kRx, "/ide0a/a\n" + kRx + "///ide0a/CONFIG.INI"}}), "");

    const std::string hostile = "/home/me/file\r\n///ide0a/x\n" + kRx + "//ide0a/x\n" + kRx + "///\n" + kRx
        + "///ide0a/../etc\n" + kRx + "///ide0a//x\n" + kRx + "///" + std::string(DraggedEntries::kMaxLine, 'a') + "\n"
        + kRx + "\r///ide0a/cr\n" + kRx + "///ide0a/ok\r\n";
    const auto kept = DraggedEntries::read(hostile);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].path(), "/ide0a/ok");
    std::string many;
    for (std::size_t i = 0; i < DraggedEntries::kMaxEntries + 10; ++i)
        many += kRx + "///f\n";
    EXPECT_EQ(DraggedEntries::read(many).size(), DraggedEntries::kMaxEntries);
}

TEST(DraggedEntriesTest, AnEntryFitsAnyFolderButItsOwnAndThoseInsideIt)
{
    const RemoteLocation log(kRx, "/ide0a/LOG");
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a"}), Fit::SameFolder);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOG"}), Fit::IntoItself);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOG/old"}), Fit::IntoItself);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOGS"}), Fit::Copy);
    EXPECT_EQ(DraggedEntries::fit(log, {"/dev/client/rx/2", "/ide0a"}), Fit::Copy) << "another receiver";
}

TEST(StagingAreaTest, MakesPrivateFreshFoldersAndRemovesOnlyThose)
{
    testsupport::TempFolder cache;
    cache.write("other/keep.txt", "not ours");
    StagingArea area(cache / "staging");
    const auto first = area.makeFolder();
    const auto second = area.makeFolder();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fs::status(*first).permissions(), fs::perms::owner_all);
    cache.write("staging/" + second->filename().string() + "/deep/file.bin", "staged");
    area.removeAll();
    EXPECT_FALSE(fs::exists(*first) || fs::exists(*second));
    EXPECT_EQ(cache.read("other/keep.txt"), "not ours");
}

} // namespace
} // namespace zeb::explorer
