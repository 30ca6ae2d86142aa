#include "autotest/core/Indentation.h"

namespace zeb::autotest {

std::size_t Indentation::afterEnter(std::u16string_view line)
{
    std::size_t tabs = 0;
    while (tabs < line.size() && line[tabs] == u'\t')
        ++tabs;
    // The line up to its end, line-end characters aside.
    while (!line.empty() && (line.back() == u'\r' || line.back() == u'\n'))
        line.remove_suffix(1);
    if (!line.empty() && line.back() == u'{')
        ++tabs;
    return tabs;
}

} // namespace zeb::autotest
