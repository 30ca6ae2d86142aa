#pragma once

#include <filesystem>
#include <string>

namespace zeb::tools::sim {

// A copy of a folder in a fresh temporary folder, removed with everything in it when this
// goes: peers may change and delete what is served without touching the original.
class TemporaryCopy
{
public:
    // `error` says why when path() is empty afterwards.
    TemporaryCopy(const std::filesystem::path& source, std::string& error);
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // The copy, named like the source; empty when it could not be made.
    const std::filesystem::path& path() const { return m_copy; }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_copy;
};

} // namespace zeb::tools::sim
