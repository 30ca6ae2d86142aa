#include "explorer/core/DraggedEntries.h"

#include "explorer/core/StagingArea.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zeb::explorer {
namespace {

namespace fs = std::filesystem;
using Fit = DraggedEntries::Fit;

const std::string kRx = "/dev/client/rx/1";

TEST(DraggedEntriesTest, ReadsBackWhatItWroteAndOnlyLinesThatNameOneEntry)
{
    const std::vector<RemoteLocation> entries{{kRx, "/ide0a/LOG"}, {kRx, "/ide0a/\xff.bin"}, {"COM3", "/x"}};
    const std::string text = DraggedEntries::write(entries);
    EXPECT_EQ(text, kRx + "///ide0a/LOG\n" + kRx + "///ide0a/\xff.bin\nCOM3///x\n");
    const auto back = DraggedEntries::read(text);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1].text(), kRx + "///ide0a/\xff.bin");
    EXPECT_EQ(DraggedEntries::nameOf(back[1]), "\xff.bin");

    // A name holding a line break would read back as another entry, perhaps one a move deletes.
    EXPECT_EQ(DraggedEntries::write({{kRx, "/ide0a/a\n" + kRx + "///ide0a/CONFIG.INI"}}), "");

    const std::string hostile = "/home/me/file\r\n" // no address: a local path
                                "///ide0a/x\n" // empty address
        + kRx + "//ide0a/x\n" // relative path
        + kRx + "///\n" // the top folder itself
        + kRx + "///ide0a/../etc\n" + kRx + "///ide0a//x\n" + kRx + "///ide0a/"
        + std::string(DraggedEntries::kMaxLine, 'a') + "\n" + kRx + "///ide0a/ok\r\n";
    const auto kept = DraggedEntries::read(hostile);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].path(), "/ide0a/ok");

    std::string many;
    for (std::size_t i = 0; i < DraggedEntries::kMaxEntries + 10; ++i)
        many += kRx + "///f" + std::to_string(i) + "\n";
    EXPECT_EQ(DraggedEntries::read(many).size(), DraggedEntries::kMaxEntries);
}

TEST(DraggedEntriesTest, AnEntryFitsAnyFolderButItsOwnAndThoseInsideIt)
{
    const RemoteLocation log(kRx, "/ide0a/LOG");
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a"}), Fit::SameFolder);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOG"}), Fit::IntoItself);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOG/old"}), Fit::IntoItself);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/ide0a/LOGS"}), Fit::Copy);
    EXPECT_EQ(DraggedEntries::fit(log, {kRx, "/"}), Fit::Copy);
    EXPECT_EQ(DraggedEntries::fit(log, {"/dev/client/rx/2", "/ide0a"}), Fit::Copy) << "another receiver";
    EXPECT_EQ(DraggedEntries::fit({kRx, "/top"}, {kRx, "/"}), Fit::SameFolder);
}

TEST(StagingAreaTest, MakesPrivateFreshFoldersAndRemovesOnlyThose)
{
    testsupport::TempFolder cache;
    cache.write("other/keep.txt", "not ours");
    const fs::path root = cache / "staging";
    std::optional<fs::path> first;
    {
        StagingArea area(root);
        first = area.makeFolder();
        const auto second = area.makeFolder();
        ASSERT_TRUE(first && second);
        EXPECT_NE(*first, *second);
        EXPECT_EQ(first->parent_path(), root);
        struct stat info
        { };
        ASSERT_EQ(::stat(first->c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        cache.write("staging/" + second->filename().string() + "/deep/file.bin", "staged");
        area.removeAll();
        EXPECT_FALSE(fs::exists(*second));
        EXPECT_TRUE(area.folders().empty());
        first = area.makeFolder();
        ASSERT_TRUE(first);
    }
    EXPECT_FALSE(fs::exists(*first)) << "the window's end removes the rest";
    EXPECT_EQ(cache.read("other/keep.txt"), "not ours");

    StagingArea blocked(cache / "other/keep.txt");
    EXPECT_FALSE(blocked.makeFolder());
}

} // namespace
} // namespace zeb::explorer
