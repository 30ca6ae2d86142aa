#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/DocumentationRoots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

const fs::path kManual = ZEB500_MANUAL_DIR;
const char* const kLanguages[] = {"ENU", "FRA", "ESP"};

std::set<std::string> pagesOf(const std::string& language)
{
    std::set<std::string> pages;
    for (const auto& entry : fs::directory_iterator(kManual / language))
        pages.insert(entry.path().filename().string());
    return pages;
}

TEST(ManualTest, EveryLanguageHoldsTheSamePages)
{
    const std::set<std::string> english = pagesOf("ENU");
    EXPECT_TRUE(english.contains("introduction.html"));
    for (const char* language : kLanguages)
        EXPECT_EQ(pagesOf(language), english) << language;
}

// Every link and picture resolves inside the manual, as the browser follows it.
TEST(ManualTest, EveryLinkAndImageResolves)
{
    const DocumentationRoots roots({kManual.string()});
    const std::regex reference(R"re((href|src)\s*=\s*"([^"]*)")re");
    int checked = 0;
    for (const char* language : kLanguages) {
        for (const std::string& page : pagesOf(language)) {
            const std::string path = (kManual / language / page).string();
            std::ifstream in(path);
            std::stringstream text;
            text << in.rdbuf();
            const std::string html = text.str();
            for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
                const std::string target = (*it)[2];
                if (AddressResolver::isExternal(target))
                    continue;
                const auto followed = roots.follow(path, target);
                ASSERT_TRUE(followed) << path << ": " << target;
                EXPECT_TRUE(roots.admit(followed->substr(0, followed->find('#')))) << path << ": " << target;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
} // namespace zeb::documentation
