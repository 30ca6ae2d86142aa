#include "explorer/core/RemoteLocation.h"

#include "stream/rpc/EntryName.h"

namespace zeb::explorer {

namespace {

// Trailing separators name the same folder; the top folder keeps its one "/".
std::string trimmed(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path.empty() ? std::string("/") : path;
}

} // namespace

RemoteLocation::RemoteLocation(std::string address, std::string path)
    : m_address(std::move(address))
    , m_path(trimmed(std::move(path)))
{
}

std::optional<RemoteLocation> RemoteLocation::parse(std::string_view text)
{
    const std::size_t split = text.find("//");
    if (split == std::string_view::npos)
        return std::nullopt;
    return RemoteLocation(std::string(text.substr(0, split)), std::string(text.substr(split + 2)));
}

RemoteLocation RemoteLocation::up() const
{
    const std::size_t last = m_path.rfind('/');
    if (last == std::string::npos || last == 0)
        return {m_address, "/"};
    return {m_address, m_path.substr(0, last)};
}

std::optional<std::string> RemoteLocation::childPath(std::string_view name) const
{
    if (!stream::rpc::EntryName::isPlain(name))
        return std::nullopt;
    std::string path = m_path == "/" ? std::string() : m_path;
    path += '/';
    path += name;
    return path;
}

std::optional<RemoteLocation> RemoteLocation::child(std::string_view name) const
{
    auto path = childPath(name);
    if (!path)
        return std::nullopt;
    return RemoteLocation(m_address, std::move(*path));
}

} // namespace zeb::explorer
