#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace zeb::explorer {

// Local folders that hold copies of receiver files handed to another program (a drag to the
// desktop, a paste in a file manager). Each is made fresh under one root, readable by this user
// only, and they go together once the program that took the files is done with them: at the
// next drag, or when the window closes. Only folders made here are ever removed.
class StagingArea
{
public:
    explicit StagingArea(std::filesystem::path root);
    ~StagingArea();
    StagingArea(const StagingArea&) = delete;
    StagingArea& operator=(const StagingArea&) = delete;

    // A new empty folder; none when the root cannot hold one.
    std::optional<std::filesystem::path> makeFolder();
    void removeAll();
    const std::vector<std::filesystem::path>& folders() const { return m_folders; }

private:
    std::filesystem::path m_root;
    std::vector<std::filesystem::path> m_folders;
};

} // namespace zeb::explorer
