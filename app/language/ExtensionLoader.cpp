#include "app/language/ExtensionLoader.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <vector>

namespace zeb::language {

namespace {

bool hasLibrarySuffix(const std::filesystem::path& path)
{
    const std::string extension = path.extension().string();
    return extension.size() == 3 && extension[0] == '.' && (extension[1] == 's' || extension[1] == 'S')
        && (extension[2] == 'o' || extension[2] == 'O');
}

std::vector<std::filesystem::path> libraryFiles(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return files;
    for (const auto& entry : entries) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && hasLibrarySuffix(entry.path()))
            files.push_back(entry.path());
    }
    // The directory's own order is arbitrary; a fixed order makes start-up reproducible.
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int ExtensionLoader::loadAll(const std::string& folder, std::uint64_t frameHandle)
{
    int welcomed = 0;
    for (const auto& file : libraryFiles(std::filesystem::path(folder) / "extension")) {
        // Never closed: an extension may have hooked itself into the program anywhere.
        void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            continue;
        auto welcome = reinterpret_cast<WelcomeFunction>(::dlsym(handle, "Welcome"));
        if (!welcome)
            continue;
        welcome(frameHandle);
        ++welcomed;
    }
    return welcomed;
}

} // namespace zeb::language
