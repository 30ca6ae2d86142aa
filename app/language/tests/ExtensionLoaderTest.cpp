#include "app/language/ExtensionLoader.h"

#include "testsupport/ScratchHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zeb::language {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchHome;

std::string welcomedHandle()
{
    const char* value = std::getenv("ZEB500_EXAMPLE_WELCOMED");
    return value ? value : "";
}

TEST(ExtensionLoader, WelcomesEverySharedLibraryOfTheExtensionFolder)
{
    ScratchHome home;
    const fs::path folder = home.folder() / "extension";
    fs::create_directories(folder);
    fs::copy_file(ZEB_EXAMPLE_EXTENSION, folder / "a-example.so");
    fs::copy_file(ZEB_EXAMPLE_EXTENSION, folder / "B-EXAMPLE.SO");
    // Skipped: not ".so", a directory, not a library, a library without Welcome.
    fs::copy_file(ZEB_EXAMPLE_EXTENSION, folder / "c-example.so.1");
    fs::copy_file(ZEB_EXAMPLE_EXTENSION, folder / "d-example");
    fs::create_directories(folder / "e-folder.so");
    std::ofstream(folder / "f-broken.so") << "not a library";
    fs::copy_file(ZEB_ENGLISH_LIBRARY, folder / "g-no-welcome.so");

    ::unsetenv("ZEB500_EXAMPLE_WELCOMED");
    const std::uint64_t handle = 0x123456789abcULL;
    EXPECT_EQ(ExtensionLoader::loadAll(home.folder().string(), handle), 2);
    EXPECT_EQ(welcomedHandle(), std::to_string(handle));
}

} // namespace
} // namespace zeb::language
