#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::platform {

// The workbench's two environment variables. On Linux the usual names already mean the
// user's home folder and locale, so the workbench uses its own:
//  ZEB500_HOME  its data folder (dictionaries, records, tests, documentation, extensions);
//               default $XDG_DATA_HOME/Orvane/ZEB500, i.e. ~/.local/share/Orvane/ZEB500;
//  ZEB500_LANG  its language code (ENU, FRA, ESP, DEU, ITA); default from the locale.
// Child processes inherit both.
class Environment
{
public:
    static constexpr const char* kHomeVariable = "ZEB500_HOME";
    static constexpr const char* kLanguageVariable = "ZEB500_LANG";

    // ZEB500_HOME when set and not empty, else the default data folder; empty when there is
    // none (no ZEB500_HOME, XDG_DATA_HOME or HOME), and then callers refuse to start.
    static std::string home();
    static std::string defaultHome();
    static void setHome(std::string_view folder);

    // The folder of the workbench's settings file: $XDG_CONFIG_HOME/Orvane, by default
    // ~/.config/Orvane (where Qt keeps the INI file); empty when neither variable is set.
    static std::string settingsFolder();

    // ZEB500_LANG when set and not empty, else the code derived from the locale.
    static std::string language();
    static void setLanguage(std::string_view code);
    // fr -> FRA, es -> ESP, de -> DEU, it -> ITA, anything else -> ENU. Takes a locale name
    // such as "fr_CA.UTF-8"; an empty name means the locale of the environment (LC_ALL,
    // LC_MESSAGES, LANG in that order).
    static std::string languageFromLocale(std::string_view locale = {});

    // Folders searched for read-only assets (language libraries, font, documentation), in
    // order: the data folder, then the installation's shared folder, then any folders
    // listed in ZEB500_ASSETS (colon-separated; the build tree uses it).
    static std::vector<std::string> assetFolders();
    // The first existing "folder/relative" of assetFolders(), or an empty string.
    static std::string findAsset(std::string_view relative);
    // Folders code is loaded from: the installation's shared folder (and the one beside the
    // running program, for an installation moved under another root), then ZEB500_ASSETS.
    static std::vector<std::string> libraryFolders();
    // Code (language libraries): the first existing "folder/relative" of libraryFolders(), the
    // data folder only after them, so that what is installed or built is what runs.
    static std::string findLibrary(std::string_view relative);
};

} // namespace zeb::platform
