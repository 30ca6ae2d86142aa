#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::stream::rpc {

// The name of an entry a peer lists, checked before anything here is named after it: one plain
// name, never a path that could lead elsewhere.
class EntryName
{
public:
    // Not empty, not "." or "..", and without "/" or a zero byte.
    static bool isPlain(std::string_view name);
    // "folder/name" for a plain name, else none.
    static std::optional<std::string> join(std::string_view folder, std::string_view name);
    // Whether `path`, with every link that exists followed, stays inside `root` (resolved the
    // same way).
    static bool staysInside(const std::filesystem::path& root, const std::filesystem::path& path);
};

} // namespace zeb::stream::rpc
