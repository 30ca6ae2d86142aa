#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace zeb::terminal::testing {

inline void writeFile(const std::string& path, std::string_view contents)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

} // namespace zeb::terminal::testing
