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

} // namespace
} // namespace zeb::language
