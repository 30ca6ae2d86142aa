#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::stream::rpc {

// The one folder a serving stream lets its peer reach. Request paths are taken relative to
// it (absolute paths must lie inside it) and resolved as the operating system would: symbolic
// links are followed, "." and ".." applied. A path is refused when the resolved form leaves
// the folder, when it holds a zero byte or a remote address, or when a part of it that does
// not exist yet is a dangling symbolic link (creating through it would land anywhere).
class RootFolder
{
public:
    // How absolute request paths are read: as this machine's paths, which must lie inside the
    // folder; or as paths from the folder, which then stands for the far side's "/" (a
    // receiver's disk, whose folders peers name "/ide0a").
    enum class Absolute { HostPaths, FromFolder };

    // The folder is made canonical (as far as it exists). An empty one serves nothing.
    explicit RootFolder(const std::filesystem::path& folder, Absolute absolute = Absolute::HostPaths);

    const std::filesystem::path& path() const { return m_root; }

    // The resolved path inside the folder, or none.
    std::optional<std::filesystem::path> resolve(std::string_view request) const;
    // The resolved path's form relative to the folder ("." for the folder itself).
    std::string relative(const std::filesystem::path& resolved) const;

private:
    bool inside(const std::filesystem::path& resolved) const;

    std::filesystem::path m_given;
    std::filesystem::path m_root;
    Absolute m_absolute;
};

} // namespace zeb::stream::rpc
