// The automatic test's workspace line, read from a workspace file: no crash on any line, and a
// path the window accepts for saving comes back exactly as it was written.
#include "autotest/core/PathLine.h"
#include "autotest/core/TestFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace zeb::autotest;
    (void)PathLine::parse(text);
    if (text.empty() || text.find('\0') != std::string_view::npos || TestFiles::refusal(text))
        return 0;
    const auto read = PathLine::parse(PathLine::format(text));
    if (!read || *read != text) {
        std::fprintf(stderr, "the PATH line does not give back its path\n");
        __builtin_trap();
    }
    return 0;
}
