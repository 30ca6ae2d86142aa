#include "autotest/core/ScriptColouring.h"

#include <array>

namespace zeb::autotest {
namespace {

// The language's reserved words, as its scanner knows them.
constexpr std::array<std::u16string_view, 18> kReserved = {
    u"self",    u"this",  u"super",  u"if",  u"else", u"while",    u"switch", u"do",     u"case",
    u"default", u"break", u"return", u"for", u"goto", u"continue", u"local",  u"global", u"thread",
};

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The end of a block comment starting at `from`, or npos when the line ends inside it.
std::size_t commentEnd(std::u16string_view text, std::size_t from)
{
    const std::size_t end = text.find(u"*/", from);
    return end == std::u16string_view::npos ? end : end + 2;
}

// The end of a quoted literal opened at `from`: its closing quote, or the end of the line.
std::size_t quotedEnd(std::u16string_view text, std::size_t from)
{
    const char16_t quote = text[from];
    std::size_t i = from + 1;
    while (i < text.size() && text[i] != quote)
        i += text[i] == u'\\' ? 2 : 1;
    return std::min(i + 1, text.size());
}

} // namespace

std::vector<ScriptColouring::Span> ScriptColouring::line(std::u16string_view text, bool& inComment)
{
    std::vector<Span> spans;
    std::size_t i = 0;
    if (inComment) {
        const std::size_t end = commentEnd(text, 0);
        inComment = end == std::u16string_view::npos;
        i = inComment ? text.size() : end;
        spans.push_back({0, i, Kind::Comment});
    }
    while (i < text.size()) {
        const char16_t c = text[i];
        const char16_t after = i + 1 < text.size() ? text[i + 1] : u'\0';
        if (c == u'/' && after == u'/') {
            spans.push_back({i, text.size() - i, Kind::Comment});
            break;
        }
        if (c == u'/' && after == u'*') {
            const std::size_t end = commentEnd(text, i + 2);
            inComment = end == std::u16string_view::npos;
            const std::size_t stop = inComment ? text.size() : end;
            spans.push_back({i, stop - i, Kind::Comment});
            i = stop;
        } else if (c == u'"' || c == u'\'') {
            const std::size_t end = quotedEnd(text, i);
            spans.push_back({i, end - i, Kind::Literal});
            i = end;
        } else if (isDigit(c)) {
            std::size_t end = i;
            while (end < text.size() && (isDigit(text[end]) || isLetter(text[end]) || text[end] == u'.'))
                ++end;
            spans.push_back({i, end - i, Kind::Literal});
            i = end;
        } else if (isLetter(c)) {
            std::size_t end = i;
            while (end < text.size() && (isDigit(text[end]) || isLetter(text[end])))
                ++end;
            const std::u16string_view word = text.substr(i, end - i);
            // "do:" is a selector part, not the reserved word.
            const bool selector = end < text.size() && text[end] == u':';
            for (const std::u16string_view reserved : kReserved) {
                if (!selector && word == reserved)
                    spans.push_back({i, end - i, Kind::Reserved});
            }
            i = end;
        } else {
            ++i;
        }
    }
    return spans;
}

} // namespace zeb::autotest
