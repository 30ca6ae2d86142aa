#include "remote-display/core/TextDisplay.h"

namespace zeb::remote_display {

std::vector<std::string> TextDisplay::rows(std::string_view text)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    while (out.size() < kRows && at < text.size()) {
        std::string row;
        while (at < text.size() && row.size() < kColumns && text[at] != '\0' && text[at] != '\r')
            row.push_back(text[at++]);
        out.push_back(std::move(row));
        if (at < text.size() && text[at] == '\0')
            break;
        if (at < text.size() && text[at] == '\r') {
            ++at;
            if (at < text.size() && text[at] == '\n')
                ++at;
        }
    }
    return out;
}

std::uint32_t TextDisplay::levelColor(double level)
{
    if (!(level > 0.5))
        return 0x008000;
    if (level < 1.0)
        return 0x00C800;
    return 0x00FF00;
}

} // namespace zeb::remote_display
