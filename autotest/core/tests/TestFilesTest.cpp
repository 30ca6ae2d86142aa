#include "autotest/core/TestFiles.h"

#include "platform/Environment.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using zeb::autotest::TestFiles;

namespace {

TEST(TestFiles, AppendsTheExtensionOnlyWhenTheFileNameHasNoDot)
{
    EXPECT_EQ(TestFiles::withExtension("mytest"), "mytest.utl");
    EXPECT_EQ(TestFiles::withExtension("/home/j.doe/tests/mytest"), "/home/j.doe/tests/mytest.utl");
    EXPECT_EQ(TestFiles::withExtension("/home/jdoe/tests/my.test"), "/home/jdoe/tests/my.test");
    EXPECT_EQ(TestFiles::withExtension("C:\\j.doe\\check"), "C:\\j.doe\\check.utl");
}

TEST(TestFiles, RefusesNamesTheWorkspaceLineCannotCarry)
{
    EXPECT_FALSE(TestFiles::refusal("/home/jdoe/tests/a b.utl"));
    EXPECT_TRUE(TestFiles::refusal("/home/jdoe/tests/a\"b.utl"));
    EXPECT_TRUE(TestFiles::refusal("/home/jdoe/a\nb.utl"));
}

TEST(TestFiles, RelativePathsLiveInTheDataFolderAndNeverClimbOut)
{
    zeb::testsupport::TempFolder home;
    zeb::testsupport::ScopedEnvironment scoped;
    scoped.set(zeb::platform::Environment::kHomeVariable, home.path().c_str());
    const std::string path = TestFiles::writable("test/examples/a.utl");
    EXPECT_EQ(path, (home.path() / "test/examples/a.utl").string());
    ASSERT_TRUE(TestFiles::write(path, "main { }"));
    EXPECT_EQ(TestFiles::resolve("test/examples/a.utl"), path);
    EXPECT_EQ(TestFiles::read(path), "main { }");
    EXPECT_EQ(TestFiles::resolve("../outside.utl"), "");
    EXPECT_FALSE(TestFiles::read(home.path().string()));
    EXPECT_FALSE(TestFiles::write(path + "/b", "x")) << "a file under a file";
    EXPECT_EQ(TestFiles::folder(), home.path().string() + "/test");
}

} // namespace
