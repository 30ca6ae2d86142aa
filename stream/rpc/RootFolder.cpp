#include "stream/rpc/RootFolder.h"

#include <algorithm>
#include <system_error>

namespace zeb::stream::rpc {

namespace fs = std::filesystem;

RootFolder::RootFolder(const fs::path& folder, Absolute absolute)
    : m_given(folder)
    , m_absolute(absolute)
{
    // No folder: nothing is served, every path is refused.
    if (folder.empty())
        return;
    std::error_code error;
    m_root = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error)
        m_root = folder.lexically_normal();
}

bool RootFolder::inside(const fs::path& resolved) const
{
    const auto [rootEnd, pathEnd] = std::mismatch(m_root.begin(), m_root.end(), resolved.begin(), resolved.end());
    // The folder's name may end in an empty element (a trailing "/"): that element matches anything.
    return rootEnd == m_root.end() || (std::next(rootEnd) == m_root.end() && rootEnd->empty());
}

std::optional<fs::path> RootFolder::resolve(std::string_view request) const
{
    if (m_root.empty() || request.empty() || request.find('\0') != std::string_view::npos
        || request.find("//") != std::string_view::npos)
        return std::nullopt;
    const fs::path given(request);
    const bool fromFolder = m_absolute == Absolute::FromFolder || !given.is_absolute();
    const fs::path joined = fromFolder ? m_root / given.relative_path() : given;
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(joined, error);
    if (error || !inside(resolved))
        return std::nullopt;

    // weakly_canonical keeps the part that does not exist as written. If a component of it is
    // a link after all (one whose target is missing), opening or creating through it would
    // follow the link out of the folder.
    fs::path walked;
    for (const auto& part : resolved) {
        walked /= part;
        const fs::file_status status = fs::symlink_status(walked, error);
        if (error)
            break;
        if (fs::is_symlink(status))
            return std::nullopt;
    }
    return resolved;
}

std::string RootFolder::relative(const fs::path& resolved) const
{
    return resolved.lexically_relative(m_root).generic_string();
}

} // namespace zeb::stream::rpc
