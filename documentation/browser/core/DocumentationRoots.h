#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::documentation {

// The folders the browser may show local files from, and the check that a link on a page
// stays in them. Pages and the images they name come from outside: a link with "..", an
// absolute path or a symbolic link pointing elsewhere must not reach any other file.
class DocumentationRoots
{
public:
    // Folders that do not exist are left out; the others are kept in canonical form.
    explicit DocumentationRoots(const std::vector<std::string>& folders);

    // The documentation folders of the workbench: "documentation" in each asset folder (the
    // data folder first, then the installation, then ZEB500_ASSETS).
    static DocumentationRoots installed();
    // The English introduction of the first root that holds one, else the path it would have
    // in the first asset folder.
    std::string introduction() const;
    // The introduction in `language`, which the resolver falls back from to English.
    std::string introduction(std::string_view language) const;

    // The canonical form of `path` when it is an existing regular file inside a root, after
    // every symbolic link and ".." is followed.
    std::optional<std::string> admit(std::string_view path) const;
    // A link `href` on the page `page` (an admitted file): relative to the page's folder,
    // decoded once, fragment kept; nothing for an absolute path, a scheme, or a target
    // outside the page's root once every "..", and every link of the part that exists, is
    // followed. The target itself need not exist (it may exist in another language only).
    std::optional<std::string> follow(std::string_view page, std::string_view href) const;

    const std::vector<std::string>& folders() const { return m_folders; }

private:
    std::optional<std::string> rootOf(const std::string& canonical) const;

    std::vector<std::string> m_folders;
};

} // namespace zeb::documentation
