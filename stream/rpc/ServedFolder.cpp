#include "stream/rpc/ServedFolder.h"

#include "platform/Environment.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace zeb::stream::rpc {

namespace fs = std::filesystem;

namespace {

fs::path canonicalOf(const fs::path& folder)
{
    std::error_code error;
    fs::path absolute = fs::absolute(folder, error);
    if (error)
        return folder.lexically_normal();
    fs::path resolved = fs::weakly_canonical(absolute, error);
    resolved = error ? absolute.lexically_normal() : resolved;
    // "/a/b/" ends in an empty element, which would match anything below.
    return resolved.has_filename() || resolved == resolved.root_path() ? resolved : resolved.parent_path();
}

// Whether `inner` is `outer` or lies below it.
bool within(const fs::path& inner, const fs::path& outer)
{
    const auto [outerEnd, innerEnd] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return outerEnd == outer.end();
}

bool overlaps(const fs::path& a, const fs::path& b)
{
    return within(a, b) || within(b, a);
}

} // namespace

std::string ServedFolder::defaultPath()
{
    const std::string home = platform::Environment::home();
    return home.empty() ? std::string() : (fs::path(home) / std::string(kFolderName)).string();
}

std::string ServedFolder::refusal(const fs::path& root)
{
    const fs::path served = canonicalOf(root);
    const std::string homeText = platform::Environment::home();
    if (!homeText.empty()) {
        const fs::path home = canonicalOf(homeText);
        if (within(home, served))
            return "the folder " + served.string() + " is or holds the data folder " + home.string()
                + ", which holds extensions and settings; serve " + defaultPath() + " or another folder";
        if (within(served, home) && !within(served, canonicalOf(defaultPath())))
            return "the folder " + served.string() + " lies in the data folder " + home.string()
                + "; only its subfolder " + std::string(kFolderName) + " may be served";
    }
    std::vector<std::string> guardedText = platform::Environment::libraryFolders();
    guardedText.push_back(platform::Environment::settingsFolder());
    std::vector<fs::path> guarded;
    for (const std::string& folder : guardedText) {
        if (!folder.empty())
            guarded.push_back(canonicalOf(folder));
    }
    for (const fs::path& folder : guarded) {
        if (overlaps(served, folder))
            return "the folder " + served.string() + " overlaps " + folder.string()
                + ", where the program loads its settings or libraries from";
    }
    return {};
}

bool ServedFolder::prepare(const fs::path& root)
{
    const std::string folder = defaultPath();
    if (folder.empty() || canonicalOf(root) != canonicalOf(folder))
        return true;
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

} // namespace zeb::stream::rpc
