#include "autotest/core/TestFiles.h"

#include "platform/Environment.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zeb::autotest {

namespace fs = std::filesystem;

std::string TestFiles::folder()
{
    return platform::Environment::home() + "/test";
}

std::string TestFiles::withExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string result(path);
    if (!name.empty() && name.find('.') == std::string_view::npos)
        result += ".utl";
    return result;
}

std::optional<std::string> TestFiles::refusal(std::string_view path)
{
    if (path.find_first_of("\"\r\n") != std::string_view::npos)
        return "A test file name cannot hold a quote (\") or a line break: the workspace could not "
               "read it back. Choose another name.";
    return std::nullopt;
}

std::string TestFiles::resolve(std::string_view path)
{
    const fs::path stored{std::string(path)};
    if (stored.empty() || stored.is_absolute())
        return stored.string();
    // A stored path never climbs out of the folders it is looked up in.
    for (const fs::path& part : stored) {
        if (part == "..")
            return {};
    }
    const std::string found = platform::Environment::findAsset(stored.generic_string());
    return found.empty() ? writable(path) : found;
}

std::string TestFiles::writable(std::string_view path)
{
    const fs::path stored{std::string(path)};
    if (stored.empty() || stored.is_absolute())
        return stored.string();
    return (fs::path(platform::Environment::home()) / stored).string();
}

std::optional<std::string> TestFiles::read(const std::string& path)
{
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(path, error) || fs::file_size(path, error) > kMaxScriptBytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TestFiles::write(const std::string& path, std::string_view text)
{
    if (path.empty())
        return false;
    std::error_code error;
    const fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    const fs::path temporary = target.string() + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace zeb::autotest
