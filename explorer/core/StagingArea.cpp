#include "explorer/core/StagingArea.h"

#include <stdlib.h>
#include <system_error>

namespace zeb::explorer {

namespace fs = std::filesystem;

StagingArea::StagingArea(fs::path root)
    : m_root(std::move(root))
{
}

StagingArea::~StagingArea()
{
    removeAll();
}

std::optional<fs::path> StagingArea::makeFolder()
{
    std::error_code error;
    fs::create_directories(m_root, error);
    if (error)
        return std::nullopt;
    // A name nobody can guess or have made before, with the owner's rights only.
    std::string pattern = (m_root / "drag-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return std::nullopt;
    m_folders.emplace_back(pattern);
    return m_folders.back();
}

void StagingArea::removeAll()
{
    for (const fs::path& folder : m_folders) {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    m_folders.clear();
}

} // namespace zeb::explorer
