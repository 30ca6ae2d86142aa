#include "documentation/browser/core/AddressResolver.h"

#include "text/HexDigit.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zeb::documentation {
namespace {

constexpr std::string_view kFileScheme = "file:///";
constexpr std::string_view kEnglish = "ENU";

bool startsWithNoCase(std::string_view text, std::string_view head)
{
    if (text.size() < head.size())
        return false;
    return std::equal(head.begin(), head.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool isRegularFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// "file:///C:/x" names a drive, "file:///usr/x" the absolute path "/usr/x": only before a
// drive letter does the third slash go too.
std::string_view withoutFileScheme(std::string_view text)
{
    if (!startsWithNoCase(text, kFileScheme))
        return text;
    const std::string_view rest = text.substr(kFileScheme.size());
    const bool drive = rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    return drive ? rest : text.substr(kFileScheme.size() - 1);
}

} // namespace

AddressResolver::AddressResolver(std::vector<std::string> languages, std::string_view language,
                                 std::string introduction)
    : m_languages(std::move(languages))
    , m_language(isLanguageCode(language) ? std::string(language) : std::string(kEnglish))
    , m_introduction(std::move(introduction))
{
}

bool AddressResolver::isExternal(std::string_view address)
{
    return startsWithNoCase(address, "http://") || startsWithNoCase(address, "https://")
        || startsWithNoCase(address, "mailto:");
}

bool AddressResolver::isLanguageCode(std::string_view code)
{
    return code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string AddressResolver::decode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            decoded += '/';
            continue;
        }
        if (c == '%' && i + 2 < text.size()) {
            const int high = text::hexDigitValue(text[i + 1]);
            const int low = text::hexDigitValue(text[i + 2]);
            const int value = high * 16 + low;
            if (high >= 0 && low >= 0 && value != 0) {
                decoded += static_cast<char>(value);
                i += 2;
                continue;
            }
        }
        decoded += c;
    }
    return decoded;
}

bool AddressResolver::isListedLanguage(std::string_view folder) const
{
    return std::any_of(m_languages.begin(), m_languages.end(),
                       [folder](const std::string& code) { return code == folder; });
}

AddressResolver::Result AddressResolver::resolve(std::string_view address) const
{
    Result result;
    if (isExternal(address)) {
        result.address = std::string(address);
        result.external = true;
        return result;
    }
    const std::string decoded(withoutFileScheme(decode(address)));
    std::string path = decoded;
    std::string fragment;
    if (const std::size_t hash = path.find('#'); hash != std::string::npos) {
        fragment = path.substr(hash);
        path.resize(hash);
    }

    const std::size_t last = path.rfind('/');
    const std::size_t before = (last == std::string::npos || last == 0) ? std::string::npos : path.rfind('/', last - 1);
    if (before == std::string::npos) {
        result.address = decoded;
        return result;
    }
    const std::string prefix = path.substr(0, before + 1);
    const std::string page = path.substr(last);
    const std::string folder = path.substr(before + 1, last - before - 1);

    std::string candidate = path;
    if (!folder.empty() && isListedLanguage(folder)) {
        candidate = prefix + m_language + page;
        result.languageAddress = true;
    }
    if (!isRegularFile(candidate)) {
        if (result.languageAddress) {
            candidate = prefix + std::string(kEnglish) + page;
        } else {
            candidate = m_introduction;
            fragment.clear();
        }
        if (!isRegularFile(candidate)) {
            // Nothing to show: the address stays as it was given, decoded, fragment and all.
            result.address = decoded;
            return result;
        }
    }
    result.address = candidate + fragment;
    return result;
}

} // namespace zeb::documentation
