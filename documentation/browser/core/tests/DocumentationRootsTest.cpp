#include "documentation/browser/core/DocumentationRoots.h"

#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

// A documentation root beside a secret file, with a symbolic link out of the root.
class DocumentationRootsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.write("doc/ENU/introduction.html", "x");
        folder.write("doc/ENU/a b.html", "x");
        folder.write("doc/img/shot.png", "x");
        folder.write("secret.txt", "x");
        fs::create_symlink(folder / "secret.txt", folder / "doc/ENU/link.html");
        roots = DocumentationRoots({(folder.path() / "doc").string(), (folder.path() / "missing").string()});
    }
    std::string page(const std::string& name) const { return (folder / "doc" / name).string(); }

    testsupport::TempFolder folder;
    DocumentationRoots roots{{}};
};

TEST_F(DocumentationRootsTest, LinksStayInsideTheRoot)
{
    const std::string intro = page("ENU/introduction.html");
    EXPECT_EQ(roots.follow(intro, "a%20b.html#x"), page("ENU/a b.html") + "#x");
    EXPECT_EQ(roots.follow(intro, "../img/shot.png"), page("img/shot.png"));
    EXPECT_EQ(roots.follow(intro, "#top"), intro + "#top");
    EXPECT_EQ(roots.follow(intro, "../FRA/missing.html"), page("FRA/missing.html"));
    for (const char* hostile :
         {"../../secret.txt", "..%2F..%2Fsecret.txt", "link.html", "/etc/passwd", "file:///etc/passwd", "C:/x"})
        EXPECT_FALSE(roots.follow(intro, hostile)) << hostile;
    EXPECT_FALSE(roots.follow((folder / "secret.txt").string(), "doc/ENU/introduction.html"));
}

TEST_F(DocumentationRootsTest, OnlyExistingRootsCountAndTheIntroductionIsFoundInThem)
{
    EXPECT_EQ(roots.folders().size(), 1u);
    EXPECT_EQ(roots.introduction("FRA"), page("FRA/introduction.html"));
    EXPECT_EQ(roots.introduction("../x"), page("ENU/introduction.html"));
    EXPECT_FALSE(roots.admit((folder / "secret.txt").string()));
}

} // namespace
} // namespace zeb::documentation
