#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeb::explorer {

// A folder on the far side of a stream: the stream's address text and the path over there,
// written "<address>//<path>". Paths are joined with exactly one "/", so the top folder's
// entries are "/name" and never "//name" (which the serving side refuses).
class RemoteLocation
{
public:
    RemoteLocation() = default;
    RemoteLocation(std::string address, std::string path);

    // None unless the text holds "//".
    static std::optional<RemoteLocation> parse(std::string_view text);

    const std::string& address() const { return m_address; }
    const std::string& path() const { return m_path; }
    std::string prefix() const { return m_address + "//"; }
    std::string text() const { return prefix() + m_path; }

    // The folder holding this one; the top folder "/" stays where it is.
    RemoteLocation up() const;
    // The far-side path of an entry of this folder; none unless `name` is one plain name (not
    // empty, ".", ".." nor holding "/" or a zero byte).
    std::optional<std::string> childPath(std::string_view name) const;
    std::optional<RemoteLocation> child(std::string_view name) const;

private:
    std::string m_address;
    std::string m_path;
};

} // namespace zeb::explorer
