#include "platform/Environment.h"

#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace zeb::platform {
namespace {

TEST(Environment, HomeAndLanguageComeFromTheirOwnVariablesNotTheSystemOnes)
{
    testsupport::ScopedEnvironment environment;
    environment.set("XDG_DATA_HOME", "/tmp/xdg");
    environment.set("ZEB500_HOME", nullptr);
    EXPECT_EQ(Environment::home(), "/tmp/xdg/Orvane/ZEB500");
    Environment::setHome("/opt/bench");
    EXPECT_EQ(Environment::home(), "/opt/bench");
    EXPECT_NE(std::string(std::getenv("HOME") ? std::getenv("HOME") : ""), "/opt/bench");

    environment.set("ZEB500_LANG", nullptr);
    environment.set("LC_ALL", "fr_CA.UTF-8");
    EXPECT_EQ(Environment::language(), "FRA");
    Environment::setLanguage("ESP");
    EXPECT_EQ(Environment::language(), "ESP");
    environment.set("LC_ALL", nullptr);
    EXPECT_EQ(Environment::languageFromLocale("de_AT"), "DEU");
    EXPECT_EQ(Environment::languageFromLocale("pt_BR"), "ENU");
}

TEST(Environment, AssetsAreFoundInTheDataFolderFirst)
{
    const testsupport::TempFolder root;
    testsupport::ScopedEnvironment environment;
    environment.set("ZEB500_HOME", nullptr); // set below, put back after
    std::filesystem::create_directories(root / "home/font");
    std::filesystem::create_directories(root / "extra/font");
    std::filesystem::create_directories(root / "extra/doc");
    Environment::setHome((root / "home").string());
    environment.set("ZEB500_ASSETS", (root / "extra").c_str());
    EXPECT_EQ(Environment::findAsset("font"), (root / "home/font").string());
    EXPECT_EQ(Environment::findAsset("doc"), (root / "extra/doc").string());
    EXPECT_EQ(Environment::findAsset("missing"), "");
}

} // namespace
} // namespace zeb::platform
