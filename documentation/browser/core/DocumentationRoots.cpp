#include "documentation/browser/core/DocumentationRoots.h"

#include "documentation/browser/core/AddressResolver.h"
#include "platform/Environment.h"

#include <filesystem>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIntroduction = "introduction.html";

bool inside(const std::string& path, const std::string& root)
{
    return path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

} // namespace

DocumentationRoots::DocumentationRoots(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        std::error_code error;
        const fs::path canonical = fs::canonical(folder, error);
        if (!error && fs::is_directory(canonical, error))
            m_folders.push_back(canonical.string());
    }
}

DocumentationRoots DocumentationRoots::installed()
{
    std::vector<std::string> folders;
    for (const std::string& folder : platform::Environment::assetFolders())
        folders.push_back(folder + "/documentation");
    return DocumentationRoots(folders);
}

std::string DocumentationRoots::introduction() const
{
    return introduction("ENU");
}

std::string DocumentationRoots::introduction(std::string_view language) const
{
    const std::string code = AddressResolver::isLanguageCode(language) ? std::string(language) : "ENU";
    for (const std::string& root : m_folders) {
        std::error_code error;
        if (fs::is_regular_file(root + "/ENU/" + std::string(kIntroduction), error))
            return root + "/" + code + "/" + std::string(kIntroduction);
    }
    const std::vector<std::string> assets = platform::Environment::assetFolders();
    const std::string base = assets.empty() ? std::string() : assets.front();
    return base + "/documentation/" + code + "/" + std::string(kIntroduction);
}

std::optional<std::string> DocumentationRoots::rootOf(const std::string& canonical) const
{
    for (const std::string& root : m_folders) {
        if (inside(canonical, root))
            return root;
    }
    return std::nullopt;
}

std::optional<std::string> DocumentationRoots::admit(std::string_view path) const
{
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::error_code error;
    const fs::path canonical = fs::canonical(fs::path(std::string(path)), error);
    if (error || !fs::is_regular_file(canonical, error))
        return std::nullopt;
    if (!rootOf(canonical.string()))
        return std::nullopt;
    return canonical.string();
}

std::optional<std::string> DocumentationRoots::follow(std::string_view page, std::string_view href) const
{
    const std::optional<std::string> from = admit(page);
    if (!from)
        return std::nullopt;
    std::string target = AddressResolver::decode(href);
    std::string fragment;
    if (const std::size_t hash = target.find('#'); hash != std::string::npos) {
        fragment = target.substr(hash);
        target.resize(hash);
    }
    if (target.empty())
        return *from + fragment;
    // Only plain relative paths: "/etc/x", "file:..." and "C:..." are refused.
    if (target.front() == '/' || target.find(':') != std::string::npos)
        return std::nullopt;
    // The page may not exist in this language (the browser then falls back to English), so
    // only the existing part of the path is followed through its links here.
    std::error_code error;
    const fs::path reached = fs::weakly_canonical(fs::path(*from).parent_path() / target, error);
    if (error || rootOf(reached.string()) != rootOf(*from))
        return std::nullopt;
    return reached.string() + fragment;
}

} // namespace zeb::documentation
