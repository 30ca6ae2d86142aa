#pragma once

#include <cstdint>
#include <string>

namespace zeb::platform {
class Settings;
}

namespace zeb::language {

class LanguageList;

// The user's preferences, kept in section "Settings". useMainFrame is only stored and edited;
// nothing else depends on it.
struct ApplicationSettings
{
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kUseMainFrame = "useMainFrame";
    static constexpr const char* kLoadWorkspaceOnStartup = "loadWorkspaceOnStartup";
    static constexpr const char* kSaveWorkspaceOnExit = "saveWorkspaceOnExit";
    static constexpr const char* kLanguage = "language";

    std::int32_t useMainFrame = 0;
    std::int32_t loadWorkspaceOnStartup = 1;
    std::int32_t saveWorkspaceOnExit = 1;
    // The code of an entry of the language list, as the list spells it; empty: none chosen.
    std::string language;

    // Reads the four values (defaults 0, 1, 1 and "???"). The stored code is looked up in
    // `languages`: a code whose library is not installed means no language.
    static ApplicationSettings read(const platform::Settings& settings, const LanguageList& languages);
    void write(platform::Settings& settings) const;

    bool operator==(const ApplicationSettings&) const = default;
};

} // namespace zeb::language
