#include "app/language/ApplicationSettings.h"

#include "app/language/LanguageList.h"
#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace zeb::language {
namespace {

LanguageList englishAndFrench()
{
    LanguageList list;
    list.push("English", "ENU");
    list.push("Français", "FRA");
    return list;
}

TEST(ApplicationSettings, StoredLanguageCountsOnlyWhenItsLibraryIsListed)
{
    struct Case
    {
        const char* stored;
        const char* expected;
    };
    for (const Case& c : {Case{"FRA", "FRA"}, Case{"fra", "FRA"}, Case{"ESP", ""}, Case{"FRA ", ""}}) {
        platform::MemorySettings store;
        store.writeText("Settings", "language", c.stored);
        EXPECT_EQ(ApplicationSettings::read(store, englishAndFrench()).language, c.expected) << c.stored;
        EXPECT_EQ(ApplicationSettings::read(store, LanguageList{}).language, "") << c.stored;
    }
}

TEST(ApplicationSettings, WriteThenReadGivesTheSameRecord)
{
    platform::MemorySettings store;
    ApplicationSettings chosen;
    chosen.useMainFrame = 1;
    chosen.loadWorkspaceOnStartup = 0;
    chosen.saveWorkspaceOnExit = 0;
    chosen.language = "FRA";
    chosen.write(store);
    EXPECT_EQ(ApplicationSettings::read(store, englishAndFrench()), chosen);

    // No language written as empty reads back as none.
    chosen.language.clear();
    chosen.write(store);
    EXPECT_EQ(ApplicationSettings::read(store, englishAndFrench()).language, "");
}

} // namespace
} // namespace zeb::language
