#include "terminal/filters/InputFilterList.h"

#include "terminal/filters/FilterPattern.h"

namespace zeb::terminal {

std::string_view InputFilterList::storable(std::string_view pattern)
{
    const std::size_t end = pattern.find_first_of(std::string_view("\r\n\0", 3));
    return pattern.substr(0, end).substr(0, kMaxPatternLength);
}

bool InputFilterList::add(bool enabled, std::string_view pattern)
{
    pattern = storable(pattern);
    if (pattern.empty()) {
        return false;
    }
    entries_.push_back({enabled, std::string(pattern)});
    return true;
}

void InputFilterList::toggle(std::size_t index)
{
    if (index < entries_.size()) {
        entries_[index].enabled = !entries_[index].enabled;
    }
}

void InputFilterList::setEnabled(std::size_t index, bool enabled)
{
    if (index < entries_.size()) {
        entries_[index].enabled = enabled;
    }
}

bool InputFilterList::setPattern(std::size_t index, std::string_view pattern)
{
    pattern = storable(pattern);
    if (index >= entries_.size() || pattern.empty()) {
        return false;
    }
    entries_[index].pattern.assign(pattern);
    return true;
}

std::size_t InputFilterList::appendNew()
{
    entries_.push_back({true, std::string(kNewPattern)});
    return entries_.size() - 1;
}

void InputFilterList::remove(std::size_t index)
{
    if (index < entries_.size()) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

std::size_t InputFilterList::firstMatch(std::string_view sentence) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].enabled && FilterPattern::match(entries_[i].pattern, sentence)) {
            return i;
        }
    }
    return npos;
}

} // namespace zeb::terminal
