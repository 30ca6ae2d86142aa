#include "documentation/browser/core/UrlLine.h"

#include "text/Scan.h"

namespace zeb::documentation {
namespace {

constexpr std::string_view kHead = "$PKVR,RPC,IHWB,URL,";
constexpr const char* kPattern = "$PKVR,RPC,IHWB,URL,\"%[^\"]\"\r\n*s";

} // namespace

std::string UrlLine::encode(std::string_view address)
{
    std::string encoded;
    encoded.reserve(address.size());
    for (const char c : address) {
        switch (c) {
        case '%':
            encoded += "%25";
            break;
        case '"':
            encoded += "%22";
            break;
        case '\r':
            encoded += "%0D";
            break;
        case '\n':
            encoded += "%0A";
            break;
        default:
            encoded += c;
        }
    }
    return encoded;
}

std::string UrlLine::format(std::string_view address)
{
    return std::string(kHead) + "\"" + encode(address) + "\"\r\n";
}

std::optional<std::string> UrlLine::parse(std::string_view line)
{
    if (!line.starts_with(kHead))
        return std::nullopt;
    std::string value;
    if (text::scan(line, kPattern, &value) != 1)
        return std::nullopt;
    return value;
}

} // namespace zeb::documentation
