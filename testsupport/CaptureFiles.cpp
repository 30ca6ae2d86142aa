#include "testsupport/CaptureFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zeb::testsupport {

std::filesystem::path captureFolder()
{
    if (const char* data = std::getenv("ZEB500_SHARED_DATA"); data && *data)
        return data;
    if (const char* source = std::getenv("ZEB500_SOURCE_DIR"); source && *source)
        return std::filesystem::path(source) / "data" / "captures";
    return std::filesystem::path(ZEB_SOURCE_FOLDER) / "data" / "captures";
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace zeb::testsupport
