#include "documentation/browser/core/Favorites.h"

#include "platform/Environment.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<std::string> readSmallFile(const fs::path& path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || size > Favorites::kMaxFileSize)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return text;
}

void walk(const fs::path& folder, int depth, std::size_t& budget, Favorites::Folder& into)
{
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end && entries.size() < budget;
         it.increment(error))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const fs::directory_entry& entry : entries) {
        if (budget == 0)
            return;
        const fs::file_status status = entry.symlink_status(error);
        if (error || fs::is_symlink(status))
            continue;
        if (fs::is_directory(status) && depth < Favorites::kMaxDepth) {
            --budget;
            Favorites::Folder sub{entry.path().filename().string(), {}, {}};
            walk(entry.path(), depth + 1, budget, sub);
            into.folders.push_back(std::move(sub));
            continue;
        }
        if (!fs::is_regular_file(status) || entry.path().extension() != ".url")
            continue;
        const std::optional<std::string> text = readSmallFile(entry.path());
        const std::optional<std::string> address = text ? Favorites::parseUrlFile(*text) : std::nullopt;
        if (!address)
            continue;
        --budget;
        into.items.push_back({entry.path().stem().string(), *address});
    }
}

} // namespace

Favorites::Folder Favorites::read(const std::string& folder)
{
    Folder root{fs::path(folder).filename().string(), {}, {}};
    std::error_code error;
    if (folder.empty() || fs::is_symlink(folder, error) || !fs::is_directory(folder, error))
        return root;
    std::size_t budget = kMaxEntries;
    walk(folder, 1, budget, root);
    return root;
}

std::string Favorites::defaultFolder()
{
    const std::string home = platform::Environment::home();
    return home.empty() ? std::string() : home + "/favorites";
}

std::optional<std::string> Favorites::parseUrlFile(std::string_view text)
{
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with('[')) {
            inSection = equalNoCase(line, "[InternetShortcut]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos || !equalNoCase(trimmed(line.substr(0, equals)), "URL"))
            continue;
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (value.empty() || value.find('\0') != std::string_view::npos)
            return std::nullopt;
        return std::string(value);
    }
    return std::nullopt;
}

} // namespace zeb::documentation
