#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::documentation {

// The favourites menu: a folder of ".url" files in the data folder ("favorites"), each
// sub-folder a sub-menu. The folder is the user's, but anything may have been copied into it:
// the walk is bounded in depth and count, reads small files only, and never follows a
// symbolic link (no loops, nothing outside the folder).
struct Favorites
{
    static constexpr int kMaxDepth = 4;
    static constexpr std::size_t kMaxEntries = 256;
    static constexpr std::size_t kMaxFileSize = 16 * 1024;

    struct Item
    {
        std::string name; // the file name without ".url"
        std::string address;
    };
    struct Folder
    {
        std::string name;
        std::vector<Folder> folders;
        std::vector<Item> items;
    };

    // Sub-folders and items in name order; an unreadable or missing folder gives an empty one.
    static Folder read(const std::string& folder);
    // The folder "favorites" of the data folder.
    static std::string defaultFolder();
    // The value "URL" of the section "[InternetShortcut]" of a ".url" file's text.
    static std::optional<std::string> parseUrlFile(std::string_view text);
};

} // namespace zeb::documentation
