#include "platform/Environment.h"

#include <cstdlib>
#include <filesystem>

#ifndef ZEB500_INSTALL_DATADIR
#define ZEB500_INSTALL_DATADIR "/usr/local/share/zeb500"
#endif
#ifndef ZEB500_DATADIR_FROM_BINDIR
#define ZEB500_DATADIR_FROM_BINDIR "../share/zeb500"
#endif

namespace zeb::platform {

namespace {

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

void setVariable(const char* name, std::string_view value)
{
    ::setenv(name, std::string(value).c_str(), 1);
}

// An XDG base folder: the variable when set, else HOME and the usual subfolder; empty
// without HOME. No shared fallback: a folder anyone may write is no place for settings and
// extensions.
std::string xdgFolder(const char* name, const char* underHome)
{
    std::string base = variable(name);
    if (!base.empty())
        return base;
    const std::string userHome = variable("HOME");
    return userHome.empty() ? std::string() : userHome + underHome;
}

// The installation's shared folder as seen from the running program: an installation unpacked
// under another root (a package extracted for a check, a copy under /opt) finds its own assets
// rather than those of the prefix it was built for. Empty when the folder does not exist.
std::string relocatedDataFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path folder
        = std::filesystem::weakly_canonical(self.parent_path() / ZEB500_DATADIR_FROM_BINDIR, error);
    if (error || !std::filesystem::is_directory(folder, error))
        return {};
    return folder.string();
}

} // namespace

std::string Environment::defaultHome()
{
    const std::string base = xdgFolder("XDG_DATA_HOME", "/.local/share");
    return base.empty() ? std::string() : base + "/Orvane/ZEB500";
}

std::string Environment::settingsFolder()
{
    const std::string base = xdgFolder("XDG_CONFIG_HOME", "/.config");
    return base.empty() ? std::string() : base + "/Orvane";
}

std::string Environment::home()
{
    std::string value = variable(kHomeVariable);
    return value.empty() ? defaultHome() : value;
}

void Environment::setHome(std::string_view folder)
{
    setVariable(kHomeVariable, folder);
}

std::string Environment::language()
{
    std::string value = variable(kLanguageVariable);
    return value.empty() ? languageFromLocale() : value;
}

void Environment::setLanguage(std::string_view code)
{
    setVariable(kLanguageVariable, code);
}

std::string Environment::languageFromLocale(std::string_view locale)
{
    std::string name(locale);
    for (const char* source : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (!name.empty())
            break;
        name = variable(source);
    }
    const std::string_view prefix = std::string_view(name).substr(0, 2);
    if (prefix == "fr")
        return "FRA";
    if (prefix == "es")
        return "ESP";
    if (prefix == "de")
        return "DEU";
    if (prefix == "it")
        return "ITA";
    return "ENU";
}

std::vector<std::string> Environment::assetFolders()
{
    std::vector<std::string> folders = libraryFolders();
    const std::string data = home();
    if (!data.empty())
        folders.insert(folders.begin(), data);
    return folders;
}

std::vector<std::string> Environment::libraryFolders()
{
    std::vector<std::string> folders{ZEB500_INSTALL_DATADIR};
    if (const std::string relocated = relocatedDataFolder(); !relocated.empty() && relocated != folders.front())
        folders.push_back(relocated);
    const std::string extra = variable("ZEB500_ASSETS");
    std::size_t start = 0;
    while (start <= extra.size() && !extra.empty()) {
        const std::size_t end = extra.find(':', start);
        const std::string part = extra.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty())
            folders.push_back(part);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return folders;
}

namespace {

std::string firstExisting(const std::vector<std::string>& folders, std::string_view relative)
{
    for (const std::string& folder : folders) {
        std::filesystem::path candidate = std::filesystem::path(folder) / std::string(relative);
        std::error_code error;
        if (std::filesystem::exists(candidate, error))
            return candidate.string();
    }
    return {};
}

} // namespace

std::string Environment::findAsset(std::string_view relative)
{
    return firstExisting(assetFolders(), relative);
}

std::string Environment::findLibrary(std::string_view relative)
{
    std::vector<std::string> folders = libraryFolders();
    const std::string data = home();
    if (!data.empty())
        folders.push_back(data);
    return firstExisting(folders, relative);
}

} // namespace zeb::platform
