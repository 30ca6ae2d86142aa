// The translations stay complete: every language names what English names.
#include "app/language/MenuParser.h"
#include "app/language/ResourceLibrary.h"
#include "testsupport/ScratchHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace zeb::language {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchHome;

// Languages that must translate every file English has; others may leave whole files to the
// English fallback, but translate each file they have completely.
const std::vector<std::string> kCompleteLanguages{"ENU", "FRA", "ESP"};
const std::vector<std::string> kAllLanguages{"ENU", "FRA", "ESP", "DEU", "ITA"};

// The names a text file defines: every line that is not a comment, blank or a continuation.
std::set<std::string> namesIn(const fs::path& file)
{
    std::set<std::string> names;
    std::ifstream lines(file, std::ios::binary);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#' || line[0] == '\t' || line.find_first_not_of(" \r") == std::string::npos)
            continue;
        names.insert(line.substr(0, line.find('\t')));
    }
    return names;
}

std::vector<std::string> fileNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".txt")
            names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(TextFiles, EveryLanguageDefinesTheNamesEnglishDefines)
{
    const char* source = std::getenv("ZEB500_SOURCE_DIR");
    const fs::path root = fs::path(source ? source : ".") / "app/language/texts";
    const std::vector<std::string> englishFiles = fileNames(root / "ENU");
    ASSERT_FALSE(englishFiles.empty()) << root;
    for (const std::string& code : kAllLanguages) {
        ASSERT_TRUE(fs::is_directory(root / code)) << code;
        for (const std::string& file : fileNames(root / code)) {
            ASSERT_TRUE(fs::exists(root / "ENU" / file)) << code << "/" << file << " has no English original";
            EXPECT_EQ(namesIn(root / code / file), namesIn(root / "ENU" / file)) << code << "/" << file;
        }
    }
    for (const std::string& code : kCompleteLanguages) {
        for (const std::string& file : englishFiles)
            EXPECT_TRUE(fs::exists(root / code / file)) << code << " lacks " << file;
    }
}

std::vector<unsigned> menuCommands(const ResourceLibrary& library)
{
    std::vector<unsigned> commands;
    const char* menu = library.text("MENU/128");
    if (!menu)
        return commands;
    for (const MenuLine& line : MenuParser::parse(menu)) {
        if (line.kind == MenuLine::Kind::Item)
            commands.push_back(line.command);
    }
    return commands;
}

TEST(TextFiles, EveryMenuCommandAndNewDocumentCommandHasAPromptAndATip)
{
    ScratchHome home;
    const auto english = ResourceLibrary::load("ENU");
    ASSERT_NE(english, nullptr);
    const std::vector<unsigned> commands = menuCommands(*english);
    ASSERT_GE(commands.size(), 10u);

    std::vector<unsigned> prompted = commands;
    for (unsigned id = 33400; id <= 33409; ++id)
        prompted.push_back(id);
    for (const std::string& code : kAllLanguages) {
        const auto library = ResourceLibrary::load(code);
        ASSERT_NE(library, nullptr) << code;
        // A translation may reword the menu but never drop or reorder a command.
        EXPECT_EQ(menuCommands(*library), commands) << code;
        for (unsigned id : prompted) {
            const char* prompt = library->string(id);
            ASSERT_NE(prompt, nullptr) << code << " " << id;
            const std::string text(prompt);
            const std::size_t split = text.find('\n');
            EXPECT_TRUE(split != std::string::npos && split > 0 && split + 1 < text.size()) << code << " " << id;
        }
        for (unsigned pane : {33305u, 33306u})
            EXPECT_NE(library->string(pane), nullptr) << code << " " << pane;
    }
}

} // namespace
} // namespace zeb::language
