#include "terminal/filters/InputFilterFile.h"

#include "testsupport/ScratchHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

using namespace std::string_literals;

TEST(InputFilterFile, ReadsEntries)
{
    const std::pair<std::string, std::vector<InputFilter>> cases[] = {
        {"x $PKVR,A\r\n  $PKVR,B\r\n", {{true, "$PKVR,A"}, {false, "$PKVR,B"}}},
        {"x\r\nx\nx", {}},
        {"ab\r\n\r\n\n x\r\nxy", {}},
        {"X a\r\n-+b\r\nxxc", {{false, "a"}, {false, "b"}, {true, "c"}}},
        {"x a\rrest\r\n", {{true, "a"}}},
        {"x ab\0cd\r\nx e\r\n"s, {{true, "ab"}, {true, "e"}}},
        {"x a  \r\n", {{true, "a  "}}},
    };
    for (const auto& [contents, entries] : cases)
        EXPECT_EQ(InputFilterFile::parse(contents).entries(), entries) << contents;
}

class InputFilterFileOnDisk : public testing::Test
{
protected:
    testsupport::ScratchHome scratch;
    const std::filesystem::path& folder = scratch.folder();
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
    // A folder in the way of the file: the write fails and the folder stays.
    std::filesystem::create_directory(folder / "taken.ufl");
    EXPECT_FALSE(InputFilterFile::save((folder / "taken.ufl").string(), list));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.ufl"));
    EXPECT_FALSE(std::filesystem::exists(folder / "taken.ufl.tmp"));
}

} // namespace
} // namespace zeb::terminal
