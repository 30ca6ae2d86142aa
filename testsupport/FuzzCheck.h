#pragma once

namespace zeb::testsupport {

// A property a fuzz target checks: when it fails the run stops at once, so the fuzzer keeps the input that broke it.
inline void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace zeb::testsupport
