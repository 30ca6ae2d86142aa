#pragma once

#include "platform/Environment.h"
#include "testsupport/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>

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
        platform::Environment::setHome(m_folder.path().string());
    }
    ~ScratchHome()
    {
        if (m_hadPrevious)
            platform::Environment::setHome(m_previous);
        else
            ::unsetenv(platform::Environment::kHomeVariable);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    const std::filesystem::path& folder() const { return m_folder.path(); }
    std::string path(const std::string& name) const { return (m_folder.path() / name).string(); }

private:
    TempFolder m_folder;
    std::string m_previous;
    bool m_hadPrevious = false;
};

} // namespace zeb::testsupport
