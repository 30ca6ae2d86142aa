#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zeb::stream::serial {

// The serial lines that exist under `root` (the file system root normally, a scratch tree in
// tests): the stable names in dev/serial/by-id first, then dev/ttyACM*, dev/ttyUSB* and dev/ttyS*
// in number order. At most kMaxListedPorts entries; names that are not such devices are skipped.
constexpr std::size_t kMaxListedPorts = 256;
std::vector<std::string> listSerialPorts(const std::filesystem::path& root = "/");

} // namespace zeb::stream::serial
