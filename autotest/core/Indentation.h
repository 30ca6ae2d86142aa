// The script editor's typing aids for tab indentation.
#pragma once

#include <cstddef>
#include <string_view>

namespace zeb::autotest {

struct Indentation
{
    // How many tabs start the line after `line` when Enter is pressed at its end: as many as
    // `line` starts with, plus one when it ends with "{".
    static std::size_t afterEnter(std::u16string_view line);
    // Whether typing "}" removes the first tab of its line: when the line starts with one.
    static bool closeRemovesTab(std::u16string_view line) { return !line.empty() && line.front() == u'\t'; }
};

} // namespace zeb::autotest
