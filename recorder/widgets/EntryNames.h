#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace zeb::recorder {

// A name for a new track or port that none of `entries` has: the first free letter "A" to "Z", then
// "A1", "A2", ... (at most as many tries as there are entries, so the search ends).
template <typename Entry, typename NameOf>
std::string freeEntryName(const std::vector<Entry>& entries, NameOf nameOf)
{
    const auto taken = [&](const std::string& name) {
        return std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) { return nameOf(entry) == name; });
    };
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!taken(std::string(1, letter)))
            return std::string(1, letter);
    }
    for (std::size_t number = 1;; ++number) {
        std::string name = "A" + std::to_string(number);
        if (!taken(name))
            return name;
    }
}

} // namespace zeb::recorder
