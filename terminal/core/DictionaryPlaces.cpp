#include "terminal/core/DictionaryPlaces.h"

#include "platform/Environment.h"

#include <filesystem>
#include <system_error>

namespace zeb::terminal {

std::string DictionaryPlaces::folder()
{
    return platform::Environment::home() + "/dictionary";
}

std::string DictionaryPlaces::toolBarDictionary()
{
    return folder() + "/default.ude";
}

std::string DictionaryPlaces::buttonBarDictionary()
{
    return folder() + "/button.ude";
}

bool DictionaryPlaces::createFolder()
{
    std::error_code error;
    const std::filesystem::path path(folder());
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

} // namespace zeb::terminal
