#include "app/language/MenuParser.h"

#include <charconv>

namespace zeb::language {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Splits "KEYWORD rest" at the first space.
std::string_view keyword(std::string_view line, std::string_view& rest)
{
    const std::size_t space = line.find(' ');
    rest = space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space + 1));
    return line.substr(0, space);
}

bool parseItem(std::string_view rest, MenuLine& line)
{
    const std::size_t space = rest.find(' ');
    const std::string_view number = rest.substr(0, space);
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), line.command);
    if (error != std::errc() || end != number.data() + number.size() || number.empty())
        return false;
    const std::string_view label = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    const std::size_t tab = label.find('\t');
    line.label = trimmed(label.substr(0, tab));
    if (tab != std::string_view::npos)
        line.shortcut = trimmed(label.substr(tab + 1));
    return !line.label.empty();
}

} // namespace

std::vector<MenuLine> MenuParser::parse(std::string_view text)
{
    std::vector<MenuLine> lines;
    int depth = 0;
    int skipped = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        std::string_view rest;
        const std::string_view word = keyword(raw, rest);
        if (skipped > 0) {
            // Inside a popup nested too deep: drop it whole, counting its own popups.
            skipped += word == "POPUP" ? 1 : word == "END" ? -1 : 0;
            continue;
        }
        MenuLine line;
        line.depth = depth;
        if (word == "POPUP" && depth == kMaximumDepth) {
            skipped = 1;
            continue;
        }
        if (word == "POPUP") {
            line.kind = MenuLine::Kind::Popup;
            line.label = rest;
            ++depth;
        } else if (word == "END" && depth > 0) {
            line.kind = MenuLine::Kind::End;
            line.depth = --depth;
        } else if (word == "ITEM" && parseItem(rest, line)) {
            line.kind = MenuLine::Kind::Item;
        } else if (word == "SEPARATOR") {
            line.kind = MenuLine::Kind::Separator;
        } else if (word == "RECENT") {
            line.kind = MenuLine::Kind::Recent;
        } else {
            continue;
        }
        lines.push_back(std::move(line));
    }
    while (depth > 0) {
        MenuLine close;
        close.kind = MenuLine::Kind::End;
        close.depth = --depth;
        lines.push_back(close);
    }
    return lines;
}

} // namespace zeb::language
