#include "documentation/browser/core/Favorites.h"

#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

TEST(FavoritesTest, UrlFileValueComesFromItsSectionOnly)
{
    EXPECT_EQ(Favorites::parseUrlFile("[Other]\nURL=no\n[InternetShortcut]\r\n url = https://x.org/ \r\n"),
              "https://x.org/");
    EXPECT_FALSE(Favorites::parseUrlFile("URL=https://x.org/\n"));
    EXPECT_FALSE(Favorites::parseUrlFile("[InternetShortcut]\nURL=\n"));
}

TEST(FavoritesTest, FolderWalkIsSortedBoundedAndIgnoresLinks)
{
    testsupport::TempFolder folder;
    const std::string url = "[InternetShortcut]\nURL=https://x.org/\n";
    folder.write("fav/b.url", url);
    folder.write("fav/a.url", url);
    folder.write("fav/notes.txt", url);
    folder.write("fav/sub/c.url", url);
    folder.write("fav/big.url", url + std::string(Favorites::kMaxFileSize, ' '));
    fs::create_directory_symlink(folder / "fav", folder / "fav/loop");
    std::string deep = "fav";
    for (int level = 0; level < Favorites::kMaxDepth + 3; ++level)
        deep += "/d";
    folder.write(deep + "/deep.url", url);
    for (std::size_t i = 0; i < Favorites::kMaxEntries + 10; ++i)
        folder.write("many/" + std::to_string(i) + ".url", url);

    const Favorites::Folder read = Favorites::read((folder / "fav").string());
    ASSERT_EQ(read.items.size(), 2u);
    EXPECT_EQ(read.items[0].name, "a");
    EXPECT_EQ(read.items[1].address, "https://x.org/");
    ASSERT_EQ(read.folders.size(), 2u); // "d" and "sub"; the link is left out
    EXPECT_EQ(read.folders[1].items.size(), 1u);
    int depth = 1;
    for (const Favorites::Folder* level = &read.folders[0]; !level->folders.empty(); level = &level->folders[0])
        ++depth;
    EXPECT_LE(depth, Favorites::kMaxDepth);
    EXPECT_EQ(Favorites::read((folder / "many").string()).items.size(), Favorites::kMaxEntries);
    EXPECT_TRUE(Favorites::read((folder / "nothing").string()).items.empty());
}

} // namespace
} // namespace zeb::documentation
