#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeb::documentation {

// The browser's workspace line "$PKVR,RPC,IHWB,URL,"%s"\r\n". An address may hold a quote, a
// CR or an LF (it was percent-decoded): written raw, the rest of the address would become
// lines of its own in the user's workspace. Those three and "%" itself are written as %XX, and
// the address the line gives back decodes them once, so what was shown is what comes back.
struct UrlLine
{
    static std::string format(std::string_view address);
    // The text between the quotes, still encoded (the browser's address resolution decodes it
    // once); nothing for another line.
    static std::optional<std::string> parse(std::string_view line);
    static std::string encode(std::string_view address);
};

} // namespace zeb::documentation
