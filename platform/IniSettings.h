#pragma once

#include "platform/Settings.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace zeb::platform {

// The workbench's settings file read without Qt, for the command-line tool: the INI file
// the workbench writes through QtSettingsStore, parsed with the same rules (sections,
// %-escaped keys, quoted and backslash-escaped values, "@" markers, ';' comments).
//
// The file is read once, at construction; a missing, unreadable or oversized file gives an
// empty store. Writes change the values in memory only: the tool never rewrites the user's
// file, so flush() does nothing and the workbench's own settings stay as they were.
//
// Sections map as in the workbench: "[General]" holds the keys of the empty section and a
// section really named "General" is written "[%General]". A section or key may contain '/'
// to reach nested groups ("SerialPorts", "a/b" is the same value as "SerialPorts/a", "b").
//
// Where a hand-edited file holds something the workbench itself never writes, the reading
// is the useful one rather than Qt's: an unquoted list "a, b" reads as the text "a,b"
// (Qt reads an empty text), integers out of the int range read as the fallback (Qt wraps
// them), lines starting with '#' are comments, and values of types other than texts and
// byte arrays ("@Variant(...)", "@Rect(...)"...) read as missing.
class IniSettings final : public Settings
{
public:
    // Files larger than this are not settings files (a device, a mistaken path): not read.
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

    explicit IniSettings(const std::string& path);
    // A store holding the settings written in `text`, as if read from a file.
    static std::unique_ptr<IniSettings> fromText(std::string_view text);

    // Where the workbench keeps its settings: $XDG_CONFIG_HOME (or $HOME/.config) followed
    // by "/Orvane/ZEB500.ini".
    static std::string defaultPath();

    // Whether the file could be read at construction.
    bool loaded() const { return m_loaded; }
    const std::string& path() const { return m_path; }

    int readInt(std::string_view section, std::string_view key, int fallback) const override;
    std::string readText(std::string_view section, std::string_view key, std::string_view fallback) const override;
    void writeInt(std::string_view section, std::string_view key, int value) override;
    void writeText(std::string_view section, std::string_view key, std::string_view value) override;

private:
    IniSettings() = default;
    void parse(std::string_view text);
    void parseEntry(std::string_view line, std::size_t equals, const std::string& section);
    const std::string* find(std::string_view section, std::string_view key) const;

    std::string m_path;
    bool m_loaded = false;
    mutable std::mutex m_mutex;
    // Full key ("Section/key", normalised as the workbench does) to text.
    std::map<std::string, std::string, std::less<>> m_values;
};

} // namespace zeb::platform
