#include "documentation/browser/core/AddressResolver.h"

#include "documentation/browser/core/UrlLine.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zeb::documentation {
namespace {

// A documentation folder with an English and a French page, an English-only page and the
// introduction.
class AddressResolverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* page : {"ENU/intro.html", "FRA/intro.html", "ENU/only.html", "ENU/introduction.html"})
            folder.write(std::string("documentation/") + page, "<html></html>");
    }

    AddressResolver resolver(const char* language) const
    {
        return AddressResolver({"ENU", "FRA", "ESP"}, language, root() + "/ENU/introduction.html");
    }
    std::string root() const { return (folder.path() / "documentation").string(); }

    testsupport::TempFolder folder;
};

TEST_F(AddressResolverTest, LanguageFolderIsRewrittenThenFallsBackToEnglish)
{
    const std::string english = "file://" + root() + "/ENU/intro.html";
    EXPECT_EQ(resolver("FRA").resolve(english).address, root() + "/FRA/intro.html");
    EXPECT_TRUE(resolver("FRA").resolve(english).languageAddress);
    EXPECT_EQ(resolver("FRA").resolve(root() + "/ESP/only.html").address, root() + "/ENU/only.html");
    // A fragment survives the rewrite, once.
    EXPECT_EQ(resolver("FRA").resolve(root() + "/ENU/intro.html#top").address, root() + "/FRA/intro.html#top");
}

TEST_F(AddressResolverTest, LinuxFileAddressKeepsItsLeadingSlashAndDriveLettersLoseIt)
{
    EXPECT_EQ(resolver("ENU").resolve("file://" + root() + "/ENU/only.html").address, root() + "/ENU/only.html");
    // No such drive here: the decoded text stays, without the scheme and with the drive.
    EXPECT_EQ(AddressResolver({}, "ENU", "/none").resolve("file:///C:/x/y").address, "C:/x/y");
}

TEST_F(AddressResolverTest, UnknownPageFallsBackToTheIntroductionWithoutFragment)
{
    EXPECT_EQ(resolver("ENU").resolve(root() + "/other/missing.html#part").address, root() + "/ENU/introduction.html");
    // No introduction either: the decoded address, with its fragment exactly once.
    const AddressResolver bare({"ENU"}, "ENU", "/nowhere/introduction.html");
    EXPECT_EQ(bare.resolve("/a/b/missing.html#part").address, "/a/b/missing.html#part");
    EXPECT_EQ(bare.resolve("page.html#x").address, "page.html#x");
}

TEST_F(AddressResolverTest, DecodesOnceAndKeepsNulEscapes)
{
    EXPECT_EQ(AddressResolver::decode("%41%4G%2541\\b"), "A%4G%41/b");
    // A NUL would end the path at the first file-system call.
    EXPECT_EQ(AddressResolver::decode("/a%00/b"), "/a%00/b");
    EXPECT_EQ(AddressResolver::decode("%4"), "%4");
}

TEST_F(AddressResolverTest, WebAddressesAreHandedOutUntouched)
{
    for (const char* address : {"https://example.org/a%20b#c", "HTTP://x/ENU/y.html", "mailto:someone@example.org"}) {
        const auto result = resolver("FRA").resolve(address);
        EXPECT_TRUE(result.external) << address;
        EXPECT_EQ(result.address, address);
    }
}

TEST_F(AddressResolverTest, LanguageCodeThatIsNoCodeMeansEnglish)
{
    EXPECT_EQ(resolver("../../etc").language(), "ENU");
    EXPECT_EQ(resolver("fra").language(), "ENU");
    EXPECT_EQ(resolver("ESP").language(), "ESP");
}

TEST(UrlLineTest, QuotesAndLineBreaksCannotInjectLinesAndComeBackExactly)
{
    const std::string address = "/a/\"b\r\n$PKVR,RPC,CONNECT,x\r\n%41";
    const std::string line = UrlLine::format(address);
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2);
    EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2);
    const auto read = UrlLine::parse(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(AddressResolver::decode(*read), address);
    EXPECT_FALSE(UrlLine::parse("$PKVR,RPC,IHWB,FRAME,1"));
}

} // namespace
} // namespace zeb::documentation
