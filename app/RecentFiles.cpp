#include "app/RecentFiles.h"

#include "platform/Settings.h"
#include "text/Format.h"

#include <algorithm>

namespace zeb::app {

void RecentFiles::read()
{
    m_entries.clear();
    auto& settings = platform::Settings::current();
    for (std::size_t i = 1; i <= kCapacity; ++i) {
        std::string entry = settings.readText(kSection, text::format("File%zu", i), "");
        if (!entry.empty())
            m_entries.push_back(std::move(entry));
    }
}

void RecentFiles::write() const
{
    auto& settings = platform::Settings::current();
    for (std::size_t i = 1; i <= kCapacity; ++i)
        settings.writeText(kSection, text::format("File%zu", i), i <= m_entries.size() ? m_entries[i - 1] : "");
}

void RecentFiles::add(std::string_view path)
{
    if (path.empty())
        return;
    std::erase(m_entries, std::string(path));
    m_entries.insert(m_entries.begin(), std::string(path));
    if (m_entries.size() > kCapacity)
        m_entries.resize(kCapacity);
    write();
}

} // namespace zeb::app
