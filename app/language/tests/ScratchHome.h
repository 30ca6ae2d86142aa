#pragma once

#include "platform/Environment.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zeb::language::testing {

// A fresh, empty ZEB500_HOME for one test, so that nothing in the user's own data folder (a
// language library or an extension) can take part; the previous value is restored after.
class ScratchHome
{
public:
    ScratchHome()
    {
        const char* previous = std::getenv(platform::Environment::kHomeVariable);
        m_previous = previous ? previous : "";
        m_hadPrevious = previous != nullptr;
        std::string pattern = (std::filesystem::temp_directory_path() / "zeb500-language-XXXXXX").string();
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

private:
    std::filesystem::path m_folder;
    std::string m_previous;
    bool m_hadPrevious = false;
};

} // namespace zeb::language::testing
