#pragma once

#include <cstdint>
#include <string>

namespace zeb::language {

// Extension libraries: every "*.so" file (the suffix compared without regard to case) directly
// in "<folder>/extension" is loaded, and its exported function
//     extern "C" void Welcome(std::uint64_t frameHandle);
// is called once with the main frame's handle. Extensions stay loaded for the life of the
// process, whether or not they export Welcome. Files that fail to load are skipped silently.
class ExtensionLoader
{
public:
    using WelcomeFunction = void (*)(std::uint64_t);

    // Loads in file-name order; a missing folder loads nothing. Returns how many were welcomed.
    static int loadAll(const std::string& folder, std::uint64_t frameHandle);
};

} // namespace zeb::language
