// An example extension library for the workbench.
//
// At start-up the workbench loads every "*.so" file in "$ZEB500_HOME/extension" and calls the
// library's exported function
//
//     extern "C" void Welcome(std::uint64_t frameHandle);
//
// once, on the user-interface thread, with the handle of the main frame: a platform message
// target handle, which an extension can post registered messages to (platform/Messaging.h).
// The library then stays loaded until the process ends. Build an extension as a plain shared
// library with this one C symbol exported; link against nothing of the workbench unless you
// need it.
//
// This example only leaves a visible trace: it sets ZEB500_EXAMPLE_WELCOMED to the handle in
// decimal, which the tests check.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) void Welcome(std::uint64_t frameHandle)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(frameHandle));
    ::setenv("ZEB500_EXAMPLE_WELCOMED", text, 1);
}
