#include "stream/rpc/EntryName.h"

#include <algorithm>
#include <system_error>

namespace zeb::stream::rpc {

namespace fs = std::filesystem;

bool EntryName::isPlain(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

std::optional<std::string> EntryName::join(std::string_view folder, std::string_view name)
{
    if (!isPlain(name))
        return std::nullopt;
    std::string joined(folder);
    joined += '/';
    joined += name;
    return joined;
}

bool EntryName::staysInside(const fs::path& root, const fs::path& path)
{
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::absolute(root, error), error);
    if (error)
        return false;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error)
        return false;
    auto baseEnd = base.end();
    // A trailing "/" leaves an empty last element, which names no folder of its own.
    if (base.has_relative_path() && !base.has_filename())
        --baseEnd;
    return std::mismatch(base.begin(), baseEnd, resolved.begin(), resolved.end()).first == baseEnd;
}

} // namespace zeb::stream::rpc
