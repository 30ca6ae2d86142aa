#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::app {

// The recently-used workspace files, newest first, kept in the settings section
// "Recent File List" as "File1" ... "File4".
class RecentFiles
{
public:
    static constexpr std::size_t kCapacity = 4;
    static constexpr std::string_view kSection = "Recent File List";

    void read();
    void write() const;
    // Moves `path` to the front (an entry equal to it is not repeated) and writes the list.
    void add(std::string_view path);
    const std::vector<std::string>& entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
};

} // namespace zeb::app
