#include "autotest/core/PathLine.h"

#include "text/Scan.h"

namespace zeb::autotest {
namespace {

constexpr std::string_view kHead = "$PKVR,RPC,IHTL,PATH,";
constexpr const char* kPattern = "$PKVR,RPC,IHTL,PATH,\"%[^\"]\"\r\n*s";

} // namespace

std::string PathLine::format(std::string_view path)
{
    return std::string(kHead) + "\"" + std::string(path) + "\"\r\n";
}

std::optional<std::string> PathLine::parse(std::string_view line)
{
    if (!line.starts_with(kHead))
        return std::nullopt;
    std::string path;
    if (text::scan(line, kPattern, &path) != 1)
        return std::nullopt;
    return path;
}

} // namespace zeb::autotest
