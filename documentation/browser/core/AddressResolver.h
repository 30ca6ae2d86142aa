#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::documentation {

// Turns an address given to the browser (typed, from a link, from a workspace line) into the
// address it shows. A documentation address names a page in a language folder
// (".../documentation/ENU/terminal.html"): it is rewritten to the folder of the current
// language, falling back to English, then to the introduction page. Web addresses are left
// alone for the desktop's browser.
class AddressResolver
{
public:
    struct Result
    {
        std::string address;
        // http, https or mailto: shown by the desktop's browser, never resolved here.
        bool external = false;
        // The folder was a language code, so the address was rewritten to a language.
        bool languageAddress = false;
    };

    // `languages`: the codes that count as language folders. `language`: the current code;
    // anything but three capital letters is taken as "ENU", so the code cannot name another
    // folder. `introduction`: the English introduction page, the last resort for an address
    // that names nothing.
    AddressResolver(std::vector<std::string> languages, std::string_view language, std::string introduction);

    Result resolve(std::string_view address) const;

    const std::string& language() const { return m_language; }

    // "%" and two hexadecimal digits become that byte, once, except "%00" (a NUL would cut the
    // path at every file-system call); backslashes become "/".
    static std::string decode(std::string_view text);
    static bool isExternal(std::string_view address);
    // Three capital letters A-Z.
    static bool isLanguageCode(std::string_view code);

private:
    bool isListedLanguage(std::string_view folder) const;

    std::vector<std::string> m_languages;
    std::string m_language;
    std::string m_introduction;
};

} // namespace zeb::documentation
