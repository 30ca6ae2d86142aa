// The browser's parsers of outside text: addresses (workspace lines, links, typed text) and
// ".url" favourite files. Besides not crashing, a workspace line must give back exactly the
// address it was written from.
#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/Favorites.h"
#include "documentation/browser/core/UrlLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace zeb::documentation;
    const AddressResolver resolver({"ENU", "FRA"}, "FRA", "/nonexistent/documentation/ENU/introduction.html");
    (void)resolver.resolve(text);
    (void)Favorites::parseUrlFile(text);
    (void)UrlLine::parse(text);

    if (text.find('\\') != std::string_view::npos || text.find('\0') != std::string_view::npos || text.empty())
        return 0;
    const std::optional<std::string> read = UrlLine::parse(UrlLine::format(text));
    if (!read || AddressResolver::decode(*read) != text) {
        std::fprintf(stderr, "workspace line does not give back its address\n");
        __builtin_trap();
    }
    return 0;
}
