#pragma once

#include <string>
#include <string_view>

namespace zeb::documentation {

class DocumentationRoots;

// What the browser shows for an address: resolved to the language, and a local page only when
// it lies in a documentation folder (the introduction otherwise).
struct ShownAddress
{
    std::string address;
    // A web address, for the desktop's browser.
    bool external = false;
    // The resolved page lay outside the documentation folders: `address` is the introduction.
    bool refused = false;
    std::string refusedAddress;

    // `language` is the current language code (one that is no code counts as English).
    static ShownAddress choose(std::string_view address, std::string_view language, const DocumentationRoots& roots);
};

} // namespace zeb::documentation
