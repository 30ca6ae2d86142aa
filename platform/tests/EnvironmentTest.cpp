#include "platform/Environment.h"

#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace zeb::platform {
namespace {

TEST(Environment, HomeAndLanguageComeFromTheirOwnVariablesNotTheSystemOnes)
{
    ::setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
    ::unsetenv("ZEB500_HOME");
    EXPECT_EQ(Environment::home(), "/tmp/xdg/Orvane/ZEB500");
    Environment::setHome("/opt/bench");
    EXPECT_EQ(Environment::home(), "/opt/bench");
    EXPECT_NE(std::string(std::getenv("HOME") ? std::getenv("HOME") : ""), "/opt/bench");

    ::unsetenv("ZEB500_LANG");
    ::setenv("LC_ALL", "fr_CA.UTF-8", 1);
    EXPECT_EQ(Environment::language(), "FRA");
    Environment::setLanguage("ESP");
    EXPECT_EQ(Environment::language(), "ESP");
    ::unsetenv("LC_ALL");
    EXPECT_EQ(Environment::languageFromLocale("de_AT"), "DEU");
    EXPECT_EQ(Environment::languageFromLocale("pt_BR"), "ENU");
}

TEST(Environment, AssetsAreFoundInTheDataFolderFirst)
{
    const testsupport::TempFolder root;
    std::filesystem::create_directories(root / "home/font");
    std::filesystem::create_directories(root / "extra/font");
    std::filesystem::create_directories(root / "extra/doc");
    Environment::setHome((root / "home").string());
    ::setenv("ZEB500_ASSETS", (root / "extra").c_str(), 1);
    EXPECT_EQ(Environment::findAsset("font"), (root / "home/font").string());
    EXPECT_EQ(Environment::findAsset("doc"), (root / "extra/doc").string());
    EXPECT_EQ(Environment::findAsset("missing"), "");
    ::unsetenv("ZEB500_ASSETS");
}

} // namespace
} // namespace zeb::platform
