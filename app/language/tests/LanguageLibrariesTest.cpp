#include "app/language/LanguageList.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/tests/ScratchHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zeb::language {
namespace {

using testing::ScratchHome;

std::string textOf(const ResourceLibrary& library, const char* name)
{
    const char* value = library.text(name);
    return value ? std::string(value) : std::string("<absent>");
}

TEST(LanguageList, ProbeListsEveryInstalledLanguageHeadFirst)
{
    ScratchHome home;
    const LanguageList list = LanguageList::probe();
    // Probed DEU, ESP, FRA, ITA, ENU, each pushed at the head.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"English", "ENU"}, {"Italiano", "ITA"}, {"Français", "FRA"}, {"Español", "ESP"}, {"Deutsch", "DEU"}};
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.entries()[i].displayName, expected[i].first) << i;
        EXPECT_EQ(list.entries()[i].code, expected[i].second) << i;
    }
}

TEST(LanguageList, FindIgnoresCaseAndAnAbsentCodeIsNone)
{
    LanguageList list;
    EXPECT_EQ(list.find("ENU"), nullptr);
    list.push("English", "ENU");
    list.push("Français", "FRA");
    EXPECT_EQ(list.entries().front().code, "FRA");
    for (const char* code : {"FRA", "fra", "Fra", "fRA"}) {
        ASSERT_NE(list.find(code), nullptr) << code;
        EXPECT_EQ(list.find(code)->displayName, "Français");
    }
    EXPECT_EQ(list.find("enu")->code, "ENU");
    for (const char* absent : {"", "???", "EN", "ENUX", "DEU", "FRA "})
        EXPECT_EQ(list.find(absent), nullptr) << absent;
    list.clear();
    EXPECT_TRUE(list.empty());
}

TEST(LanguageList, ALibraryWithoutTheLookupFunctionsIsNoLanguage)
{
    ScratchHome home;
    // Asset folders listed first are searched first, so these files hide the real ones.
    const std::string saved = std::getenv("ZEB500_ASSETS") ? std::getenv("ZEB500_ASSETS") : "";
    ::setenv("ZEB500_ASSETS", (home.folder().string() + ":" + saved).c_str(), 1);
    std::filesystem::copy_file(ZEB_EXAMPLE_EXTENSION, home.folder() / "UTTEV001R001DEU.so");
    // Not a shared library at all.
    std::ofstream(home.folder() / "UTTEV001R001ITA.so") << "not a library\n";
    EXPECT_EQ(ResourceLibrary::load("DEU"), nullptr);
    EXPECT_EQ(ResourceLibrary::load("ITA"), nullptr);
    const LanguageList list = LanguageList::probe();
    ::setenv("ZEB500_ASSETS", saved.c_str(), 1);
    EXPECT_EQ(list.find("DEU"), nullptr);
    EXPECT_EQ(list.find("ITA"), nullptr);
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
    EXPECT_EQ(library->code(), "ENU");
    EXPECT_EQ(library->path(), ZEB_ENGLISH_LIBRARY);
    EXPECT_STREQ(library->string(33311), "English");
    EXPECT_EQ(textOf(*library, "33311"), "English");
    EXPECT_EQ(textOf(*library, "33305"), "Sent");
    EXPECT_EQ(textOf(*library, "33400"), "Open a terminal on the connection\nTerminal");
    EXPECT_EQ(textOf(*library, "IDD_UTTE_PROPERTIES/1095"), "Language:");
    // A continuation line joins with a line feed; "\t" in a text is a tab.
    EXPECT_NE(textOf(*library, "IDD_UTTE_WELCOME/1097").find(".\nPlease choose"), std::string::npos);
    EXPECT_NE(textOf(*library, "MENU/128").find("ITEM 33302 &Open workspace...\tCtrl+O\n"), std::string::npos);

    EXPECT_EQ(library->text(nullptr), nullptr);
    EXPECT_EQ(library->text(""), nullptr);
    EXPECT_EQ(library->text("3331"), nullptr);
    EXPECT_EQ(library->text("333110"), nullptr);
    EXPECT_EQ(library->string(1), nullptr);

    const char* const* terminal = library->icon("IDI_IHTE");
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(std::strncmp(terminal[0], "32 32 ", 6), 0);
    const char* const* idle = library->icon("IDI_UTTE_STATUS_NONE");
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(std::strncmp(idle[0], "16 16 ", 6), 0);
    EXPECT_EQ(library->icon("IDI_NONE"), nullptr);
    EXPECT_EQ(library->icon(nullptr), nullptr);
}

TEST(ResourceLibrary, EveryLanguageHoldsItsOwnShellTexts)
{
    ScratchHome home;
    const std::vector<std::pair<const char*, const char*>> captions{{"ENU", "Welcome to ZEB500"},
                                                                    {"FRA", "Bienvenue dans ZEB500"},
                                                                    {"ESP", "Bienvenido a ZEB500"},
                                                                    {"DEU", "Willkommen bei ZEB500"},
                                                                    {"ITA", "Benvenuti in ZEB500"}};
    for (const auto& [code, caption] : captions) {
        const auto library = ResourceLibrary::load(code);
        ASSERT_NE(library, nullptr) << code;
        EXPECT_EQ(textOf(*library, "IDD_UTTE_WELCOME"), caption) << code;
        // The welcome buttons name each language in itself, whatever the library.
        EXPECT_EQ(textOf(*library, "IDD_UTTE_WELCOME/1099"), "Français") << code;
        EXPECT_NE(library->icon("IDR_MAINFRAME"), nullptr) << code;
    }
}

} // namespace
} // namespace zeb::language
