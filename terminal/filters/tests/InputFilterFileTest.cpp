#include "terminal/filters/InputFilterFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace zeb::terminal {
namespace {

using namespace std::string_literals;

struct ParseCase
{
    const char* name;
    std::string contents;
    std::vector<InputFilter> entries;
};

class ParseFile : public testing::TestWithParam<ParseCase>
{ };

TEST_P(ParseFile, ReadsEntries)
{
    EXPECT_EQ(InputFilterFile::parse(GetParam().contents).entries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseFile,
    testing::Values(
        ParseCase{"EnabledAndDisabled", "x $PKVR,A\r\n  $PKVR,B\r\n", {{true, "$PKVR,A"}, {false, "$PKVR,B"}}},
        ParseCase{"OnlyXSkipped", "x\r\nx\nx", {}}, ParseCase{"ShortLinesSkipped", "ab\r\n\r\n\n x\r\nxy", {}},
        ParseCase{"AnyOtherFlagIsDisabled", "X a\r\n-+b\r\nxxc", {{false, "a"}, {false, "b"}, {true, "c"}}},
        ParseCase{"LoneCrCutsLine", "x a\rrest\r\n", {{true, "a"}}},
        ParseCase{"NulCutsLine", "x ab\0cd\r\nx e\r\n"s, {{true, "ab"}, {true, "e"}}},
        ParseCase{"TrailingBlanksKept", "x a  \r\n", {{true, "a  "}}}),
    [](const auto& info) { return info.param.name; });

TEST(InputFilterFile, LongLinesComeInPiecesOf1023)
{
    const std::string pattern(1021, 'p');
    struct Case
    {
        std::string line;
        std::vector<InputFilter> entries;
    };
    const Case cases[] = {
        // Exactly one read.
        {"x " + pattern + "\r\n", {{true, pattern}}},
        // One character more and the pattern's last character is a read of its own, too short to count.
        {"x " + pattern + "q\r\n", {{true, pattern}}},
        // Each piece is an entry with its own flag.
        {"x " + pattern + "x " + std::string(1021, 'q') + "  end\r\n",
         {{true, pattern}, {true, std::string(1021, 'q')}, {false, "end"}}},
    };
    for (const Case& c : cases) {
        const InputFilterList list = InputFilterFile::parse(c.line);
        ASSERT_EQ(list.size(), c.entries.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].enabled, c.entries[i].enabled);
            EXPECT_EQ(list[i].pattern, c.entries[i].pattern);
        }
    }
}

class InputFilterFileOnDisk : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = (std::filesystem::temp_directory_path() / "ufl-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        folder = name;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
};

TEST_F(InputFilterFileOnDisk, SavesAndLoads)
{
    const std::string path = (folder / "default.ufl").string();
    InputFilterList list;
    list.add(true, "$PKVR,A,%[x]");
    list.add(false, "  spaced  ");
    ASSERT_TRUE(InputFilterFile::save(path, list));
    EXPECT_EQ(InputFilterFile::load(path), list);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, "x $PKVR,A,%[x]\r\n    spaced  \r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(InputFilterFileOnDisk, FailuresLeaveListEmptyAndFileUnwritten)
{
    EXPECT_TRUE(InputFilterFile::load((folder / "missing.ufl").string()).empty());
    InputFilterList list;
    list.add(true, "a");
    EXPECT_FALSE(InputFilterFile::save((folder / "no" / "such" / "folder.ufl").string(), list));
    // A folder in the way of the file: the write fails and the folder stays.
    std::filesystem::create_directory(folder / "taken.ufl");
    EXPECT_FALSE(InputFilterFile::save((folder / "taken.ufl").string(), list));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.ufl"));
    EXPECT_FALSE(std::filesystem::exists(folder / "taken.ufl.tmp"));
}

TEST(InputFilterList, FirstEnabledMatchWins)
{
    InputFilterList list;
    list.add(false, "$PKVR,%[a]");
    list.add(true, "$GPGGA,%[a]*");
    list.add(true, "$PKVR,%[b]");
    list.add(true, "$PKVR,%[c]*");
    EXPECT_EQ(list.firstMatch("$PKVR,1"), 2u);
    EXPECT_EQ(list.firstMatch("$PKVR,1,2"), 3u);
    EXPECT_EQ(list.firstMatch("$GPGSV,1"), InputFilterList::npos);
}

} // namespace
} // namespace zeb::terminal
