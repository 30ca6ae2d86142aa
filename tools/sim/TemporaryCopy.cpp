#include "TemporaryCopy.h"

#include <cstdlib>
#include <system_error>

namespace zeb::tools::sim {

namespace fs = std::filesystem;

TemporaryCopy::TemporaryCopy(const fs::path& source, std::string& error)
{
    std::error_code failure;
    std::string pattern = (fs::temp_directory_path(failure) / "zeb500-sim-XXXXXX").string();
    if (failure || ::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a temporary folder";
        return;
    }
    m_folder = pattern;
    const fs::path copy = m_folder / source.filename();
    fs::copy(source, copy, fs::copy_options::recursive, failure);
    if (failure) {
        error = "cannot copy " + source.string() + ": " + failure.message();
        return;
    }
    m_copy = copy;
}

TemporaryCopy::~TemporaryCopy()
{
    if (m_folder.empty())
        return;
    std::error_code failure;
    fs::remove_all(m_folder, failure);
}

} // namespace zeb::tools::sim
