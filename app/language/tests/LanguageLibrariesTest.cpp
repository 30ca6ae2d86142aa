// The shared libraries the workbench loads (languages and extensions) and the settings that name a language.
#include "app/language/ApplicationSettings.h"
#include "app/language/ExtensionLoader.h"
#include "app/language/LanguageList.h"
#include "app/language/ResourceLibrary.h"
#include "platform/MemorySettings.h"
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

std::string textOf(const ResourceLibrary& library, const char* name)
{
    const char* value = library.text(name);
    return value ? std::string(value) : std::string("<absent>");
}

TEST(LanguageList, ALibraryWithoutTheLookupFunctionsIsNoLanguage)
{
    ScratchHome home;
    // Asset folders listed first are searched first, so these files hide the real ones.
    const std::string saved = std::getenv("ZEB500_ASSETS") ? std::getenv("ZEB500_ASSETS") : "";
    ::setenv("ZEB500_ASSETS", (home.folder().string() + ":" + saved).c_str(), 1);
    fs::copy_file(ZEB_EXAMPLE_EXTENSION, home.folder() / "UTTEV001R001DEU.so");
    // Not a shared library at all.
    std::ofstream(home.folder() / "UTTEV001R001ITA.so") << "not a library\n";
    EXPECT_EQ(ResourceLibrary::load("DEU"), nullptr);
    EXPECT_EQ(ResourceLibrary::load("ITA"), nullptr);
    const LanguageList list = LanguageList::probe();
    ::setenv("ZEB500_ASSETS", saved.c_str(), 1);
    EXPECT_EQ(list.find("DEU"), nullptr);
    EXPECT_NE(list.find("ENU"), nullptr);
    EXPECT_EQ(list.size(), 3u);
}

TEST(ResourceLibrary, CodesNameOnlyFilesInTheAssetFolders)
{
    EXPECT_EQ(ResourceLibrary::fileName("ENU"), "UTTEV001R001ENU.so");
    EXPECT_EQ(ResourceLibrary::fileName("esp"), "UTTEV001R001ESP.so");
    for (const char* bad : {"", "../ENU", "EN U", "ENU/", "ABCDEFGHI", "FR\xC3\x80", "ENU.so"}) {
        EXPECT_EQ(ResourceLibrary::fileName(bad), "") << bad;
        EXPECT_EQ(ResourceLibrary::load(bad), nullptr) << bad;
    }
    EXPECT_EQ(ResourceLibrary::load("XYZ"), nullptr);
}

TEST(ResourceLibrary, LooksUpTextsStringsAndIconsByName)
{
    ScratchHome home;
    const auto library = ResourceLibrary::load("enu");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(textOf(*library, "33311"), "English");
    EXPECT_EQ(textOf(*library, "33400"), "Open a terminal on the connection\nTerminal");
    // A continuation line joins with a line feed; "\t" in a text is a tab.
    EXPECT_NE(textOf(*library, "IDD_UTTE_WELCOME/1097").find(".\nPlease choose"), std::string::npos);

    EXPECT_EQ(library->text(nullptr), nullptr);
    EXPECT_EQ(library->text("3331"), nullptr);
    EXPECT_EQ(library->text("333110"), nullptr);

    EXPECT_EQ(library->icon("IDI_NONE"), nullptr);
}

TEST(ApplicationSettings, StoredLanguageCountsOnlyWhenItsLibraryIsListed)
{
    const std::pair<const char*, const char*> cases[] = {{"FRA", "FRA"}, {"fra", "FRA"}, {"ESP", ""}, {"FRA ", ""}};
    LanguageList englishAndFrench;
    englishAndFrench.push("English", "ENU");
    englishAndFrench.push("Français", "FRA");
    for (const auto& [stored, expected] : cases) {
        platform::MemorySettings store;
        store.writeText("Settings", "language", stored);
        EXPECT_EQ(ApplicationSettings::read(store, englishAndFrench).language, expected) << stored;
        EXPECT_EQ(ApplicationSettings::read(store, LanguageList{}).language, "") << stored;
    }
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
    const char* welcomed = std::getenv("ZEB500_EXAMPLE_WELCOMED");
    EXPECT_EQ(welcomed ? welcomed : "", std::to_string(handle));
}

} // namespace
} // namespace zeb::language
