#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zeb::stream::rpc {

// Which folder peers may reach with remote file requests. By default a folder made for them,
// "$ZEB500_HOME/disk"; never a folder the program loads code or settings from: a peer that
// could write there could run code here.
class ServedFolder
{
public:
    static constexpr std::string_view kFolderName = "disk";

    // "$ZEB500_HOME/disk"; empty when there is no data folder.
    static std::string defaultPath();

    // Why `root` must not be served, or an empty text when it may be. Refused: the data folder,
    // a folder holding it, a folder inside it other than the default served folder, and any
    // folder overlapping the settings folder or a folder language libraries are loaded from.
    static std::string refusal(const std::filesystem::path& root);

    // Creates the default folder, empty, when `root` is it; false when it cannot be made.
    static bool prepare(const std::filesystem::path& root);
};

} // namespace zeb::stream::rpc
