#include "stream/serial/SerialPortList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <system_error>

namespace zeb::stream::serial {
namespace {

constexpr std::array<std::string_view, 3> kFamilies = {"ttyACM", "ttyUSB", "ttyS"};
// A folder a peer could fill: only this many entries are looked at.
constexpr std::size_t kMaxScanned = 4096;
constexpr std::size_t kMaxNameLength = 255;

// The number after a family's prefix, when the rest of the name is exactly a number.
bool familyNumber(std::string_view name, std::string_view family, unsigned& number)
{
    if (name.size() <= family.size() || name.substr(0, family.size()) != family)
        return false;
    const char* end = name.data() + name.size();
    const auto [stop, error] = std::from_chars(name.data() + family.size(), end, number);
    return error == std::errc() && stop == end;
}

// Entry names of a folder, at most kMaxScanned of them; none when it cannot be read.
std::vector<std::string> entryNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (std::size_t seen = 0; !error && entry != std::filesystem::directory_iterator() && seen < kMaxScanned;
         entry.increment(error), ++seen) {
        std::string name = entry->path().filename().string();
        if (!name.empty() && name.size() <= kMaxNameLength)
            names.push_back(std::move(name));
    }
    return names;
}

} // namespace

std::vector<std::string> listSerialPorts(const std::filesystem::path& root)
{
    std::vector<std::string> ports;
    const std::filesystem::path byId = root / "dev" / "serial" / "by-id";
    std::vector<std::string> stable = entryNames(byId);
    std::sort(stable.begin(), stable.end());
    ports.reserve(stable.size());
    for (const std::string& name : stable)
        ports.push_back((byId / name).string());

    const std::vector<std::string> devices = entryNames(root / "dev");
    for (const std::string_view family : kFamilies) {
        std::vector<unsigned> numbers;
        for (const std::string& name : devices) {
            unsigned number = 0;
            if (familyNumber(name, family, number))
                numbers.push_back(number);
        }
        std::sort(numbers.begin(), numbers.end());
        for (const unsigned number : numbers)
            ports.push_back((root / "dev" / (std::string(family) + std::to_string(number))).string());
    }
    if (ports.size() > kMaxListedPorts)
        ports.resize(kMaxListedPorts);
    return ports;
}

} // namespace zeb::stream::serial
