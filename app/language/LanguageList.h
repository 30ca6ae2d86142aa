#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::language {

struct LanguageEntry
{
    std::string displayName; // the language's own name, string 33311 of its library
    std::string code; // "ENU", "FRA", ...
};

// The languages whose libraries are installed. New entries go to the head, so a probe in the
// order below lists English first and German last.
class LanguageList
{
public:
    static constexpr std::array<const char*, 5> kProbeOrder{"DEU", "ESP", "FRA", "ITA", "ENU"};

    // Loads each library of kProbeOrder in turn and lists those that load and hold string
    // 33311; every library is released again before the next one is tried.
    static LanguageList probe();

    void push(std::string displayName, std::string code);
    void clear() { m_entries.clear(); }

    // The entry of a code, compared without regard to case; null when absent.
    const LanguageEntry* find(std::string_view code) const;

    // Head first.
    const std::vector<LanguageEntry>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }

private:
    std::vector<LanguageEntry> m_entries;
};

} // namespace zeb::language
