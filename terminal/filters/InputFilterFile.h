#pragma once

#include "terminal/filters/InputFilterList.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zeb::terminal {

// The input filter file (".ufl"): one entry per line, "x " and the pattern for an enabled entry, two
// blanks and the pattern for a disabled one, each line ending in CR LF.
//
// Reading takes the file in lines of at most kReadLimit characters (a longer line comes in pieces, each
// an entry of its own), cuts each at its first CR, LF or NUL and skips what is shorter than 3 characters;
// the first character "x" means enabled, anything else disabled, the second is ignored.
class InputFilterFile
{
public:
    static constexpr std::size_t kReadLimit = 1023;

    static InputFilterList parse(std::string_view contents);
    static std::string format(const InputFilterList& filters);

    // A file that cannot be read gives an empty list.
    static InputFilterList load(const std::string& path);
    // Writes through a temporary file renamed over the old one, so that a failed write leaves the old
    // file as it was. False when nothing could be written.
    static bool save(const std::string& path, const InputFilterList& filters);

    // "<data folder>/dictionary/default.ufl".
    static std::string defaultPath();
};

} // namespace zeb::terminal
