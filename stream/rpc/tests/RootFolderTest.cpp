#include "stream/rpc/RootFolder.h"

#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

namespace zeb::stream::rpc {
namespace {

namespace fs = std::filesystem;

TEST(RootFolder, AdmitsPathsThatResolveInsideAndRefusesEveryWayOut)
{
    testsupport::TempFolder outside;
    testsupport::TempFolder base;
    const fs::path root = base / "root";
    fs::create_directories(root / "sub");
    base.write("root/sub/file", "x");
    base.write("secret", "s");
    fs::create_symlink(outside.path(), root / "out");
    fs::create_symlink(root / "sub", root / "in");
    fs::create_symlink(outside / "missing", root / "dangling");
    const RootFolder folder(root);

    const std::pair<std::string, std::optional<fs::path>> cases[] = {
        {"sub/file", root / "sub/file"},
        {".", root},
        {(root / "sub").string(), root / "sub"},
        {"in/file", root / "sub/file"}, // a link that stays inside is followed
        {"sub/new/deeper", root / "sub/new/deeper"}, // does not exist yet: resolved as written
        {"..", std::nullopt},
        {"../secret", std::nullopt},
        {"missing/../../secret", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"out", std::nullopt},
        {"out/anything", std::nullopt}, // the parent of a new file is a link out
        {"dangling", std::nullopt}, // creating through it would land outside
        {"/dev/client/host/1000//file", std::nullopt},
        {"", std::nullopt},
        {std::string("sub\0/../../secret", 17), std::nullopt},
    };
    // A sibling whose name starts with the root's name is not inside it.
    fs::create_directories(base / "rootx");
    for (const auto& [request, expected] : cases)
        EXPECT_EQ(folder.resolve(request), expected) << request;
    EXPECT_EQ(folder.resolve("../rootx"), std::nullopt);
    EXPECT_EQ(folder.relative(root / "sub/file"), "sub/file");
}

// A root that stands for the far side's "/": absolute paths are taken from it, and still cannot leave it.
TEST(RootFolder, AbsolutePathsFromTheFolderStayInsideIt)
{
    testsupport::TempFolder base;
    fs::create_directories(base / "disk/ide0a");
    const RootFolder folder(base / "disk", RootFolder::Absolute::FromFolder);
    EXPECT_EQ(folder.resolve("/ide0a"), base / "disk/ide0a");
    EXPECT_EQ(folder.resolve("/"), base / "disk");
    EXPECT_EQ(folder.resolve("ide0a/x"), base / "disk/ide0a/x");
    EXPECT_EQ(folder.resolve("/../secret"), std::nullopt);
    EXPECT_EQ(folder.resolve("//ide0a"), std::nullopt);
}

TEST(RootFolder, ARootGivenThroughALinkIsResolvedFirst)
{
    testsupport::TempFolder base;
    fs::create_directories(base / "real");
    base.write("real/a", "1");
    fs::create_symlink(base / "real", base / "alias");
    const RootFolder folder(base / "alias");
    EXPECT_EQ(folder.path(), base / "real");
    EXPECT_EQ(folder.resolve("a"), base / "real/a");
}

} // namespace
} // namespace zeb::stream::rpc
