#pragma once

#include <filesystem>
#include <string>

namespace zeb::testsupport {

// The folder of captured receiver streams (nmea/, rtcm2/): $ZEB500_SHARED_DATA when set, else
// the repository's data/captures found through $ZEB500_SOURCE_DIR or the build's source folder.
std::filesystem::path captureFolder();

// A whole file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

} // namespace zeb::testsupport
