#pragma once

#include "platform/Environment.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zeb::testsupport {

// A fresh, empty folder for one test, removed after it, which is also ZEB500_HOME meanwhile so
// that nothing in the user's own data folder (a language library, an extension, a dictionary)
// can take part; the previous value is restored after.
class ScratchHome
{
public:
    ScratchHome()
    {
        const char* previous = std::getenv(platform::Environment::kHomeVariable);
        m_previous = previous ? previous : "";
        m_hadPrevious = previous != nullptr;
        std::string pattern = (std::filesystem::temp_directory_path() / "zeb500-test-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data()) ? pattern : std::string();
        platform::Environment::setHome(m_folder.string());
    }
    ~ScratchHome()
    {
        std::error_code error;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, error);
        if (m_hadPrevious)
            platform::Environment::setHome(m_previous);
        else
            ::unsetenv(platform::Environment::kHomeVariable);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

private:
    std::filesystem::path m_folder;
    std::string m_previous;
    bool m_hadPrevious = false;
};

} // namespace zeb::testsupport
