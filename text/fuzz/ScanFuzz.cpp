// Differential fuzzing of zeb::text::scan() against the C library's sscanf. An input is a pattern, a NUL
// byte, then the text to scan (which may hold further NULs: both sides must stop at the first).
#include "text/fuzz/ScanOracle.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

// Few enough conversions that every target can be given a buffer as large as the input.
constexpr std::size_t kMaxConversions = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\0');
    const std::string_view pattern = bytes.substr(0, split);
    const std::string_view input = split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);
    const auto verdict = zeb::text::oracle::compare(pattern, input, kMaxConversions);
    if (!verdict.difference.empty()) {
        std::fprintf(stderr, "scan differs from sscanf: %s\n", verdict.difference.c_str());
        __builtin_trap();
    }
    return 0;
}
