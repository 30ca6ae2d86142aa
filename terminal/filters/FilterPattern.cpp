#include "terminal/filters/FilterPattern.h"

namespace zeb::terminal {

namespace {

// A placeholder at `at` ("%[label]"): the label, and the pattern position after the closing bracket.
struct Placeholder
{
    bool found = false;
    std::string_view label;
    std::size_t next = 0;
};

Placeholder placeholderAt(std::string_view pattern, std::size_t at)
{
    if (at + 1 >= pattern.size() || pattern[at + 1] != '[') {
        return {};
    }
    const std::size_t close = pattern.find(']', at + 2);
    if (close == std::string_view::npos) {
        return {};
    }
    return {true, pattern.substr(at + 2, close - at - 2), close + 1};
}

} // namespace

bool FilterPattern::match(std::string_view pattern, std::string_view sentence, std::vector<FilterField>* fields)
{
    if (fields != nullptr) {
        fields->clear();
    }
    std::size_t p = 0;
    std::size_t s = 0;
    while (p < pattern.size()) {
        if (pattern[p] != '%') {
            if (s >= sentence.size() || sentence[s] != pattern[p]) {
                return false;
            }
            ++p;
            ++s;
            continue;
        }
        const Placeholder placeholder = placeholderAt(pattern, p);
        if (!placeholder.found) {
            return false;
        }
        p = placeholder.next;
        std::size_t end = sentence.find(',', s);
        if (p < pattern.size() && pattern[p] == '*') {
            if (p + 1 != pattern.size()) {
                return false;
            }
            p = pattern.size();
            end = sentence.size();
        }
        if (end == std::string_view::npos) {
            end = sentence.size();
        }
        if (fields != nullptr) {
            fields->push_back({placeholder.label, sentence.substr(s, end - s)});
        }
        s = end;
    }
    return s == sentence.size();
}

std::string FilterPattern::answer(std::string_view pattern, std::span<const std::string> values)
{
    std::string text;
    text.reserve(pattern.size());
    std::size_t next = 0;
    std::size_t p = 0;
    while (p < pattern.size()) {
        const Placeholder placeholder = pattern[p] == '%' ? placeholderAt(pattern, p) : Placeholder{};
        if (!placeholder.found) {
            text.push_back(pattern[p]);
            ++p;
            continue;
        }
        if (next < values.size()) {
            text.append(values[next]);
        }
        ++next;
        p = placeholder.next;
        if (p < pattern.size() && pattern[p] == '*') {
            break;
        }
    }
    return text;
}

} // namespace zeb::terminal
