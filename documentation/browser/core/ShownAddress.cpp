#include "documentation/browser/core/ShownAddress.h"

#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/DocumentationRoots.h"

#include <array>

namespace zeb::documentation {
namespace {

// The codes of the workbench's languages: a folder of one of these names is a language folder.
constexpr std::array<const char*, 5> kLanguageCodes{"ENU", "FRA", "ESP", "DEU", "ITA"};

} // namespace

ShownAddress ShownAddress::choose(std::string_view address, std::string_view language, const DocumentationRoots& roots)
{
    const AddressResolver resolver(std::vector<std::string>(kLanguageCodes.begin(), kLanguageCodes.end()), language,
                                   roots.introduction());
    const AddressResolver::Result resolved = resolver.resolve(address);
    ShownAddress shown;
    if (resolved.external) {
        shown.address = resolved.address;
        shown.external = true;
        return shown;
    }
    const std::size_t hash = resolved.address.find('#');
    const std::string path = resolved.address.substr(0, hash);
    const std::string fragment = hash == std::string::npos ? std::string() : resolved.address.substr(hash);
    if (const auto admitted = roots.admit(path)) {
        shown.address = *admitted + fragment;
        return shown;
    }
    shown.refused = true;
    shown.refusedAddress = resolved.address;
    const auto home = roots.admit(roots.introduction());
    shown.address = home ? *home : resolved.address;
    return shown;
}

} // namespace zeb::documentation
