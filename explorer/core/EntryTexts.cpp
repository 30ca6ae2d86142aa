#include "explorer/core/EntryTexts.h"

#include "stream/rpc/RequestCode.h"
#include "text/Format.h"

#include <ctime>

namespace zeb::explorer {

namespace file_type = stream::rpc::file_type;

namespace {

constexpr std::uint32_t kBlockDevice = 4;

// "second"/"seconds" and the like: the singular for exactly one.
const char* unit(std::uint64_t count, const char* one, const char* many)
{
    return count == 1 ? one : many;
}

} // namespace

std::string EntryTexts::size(const stream::rpc::DirectoryEntry& entry)
{
    if (entry.type != file_type::Regular)
        return {};
    if (entry.size >= 1024)
        return text::format("%u Kb", entry.size / 1024);
    return text::format("%u b", entry.size);
}

std::string EntryTexts::type(const stream::rpc::DirectoryEntry& entry)
{
    switch (entry.type) {
    case file_type::Directory:
        return "File Folder";
    case file_type::Regular:
        return "Regular file";
    case file_type::CharacterDevice:
        return "Special Character";
    case kBlockDevice:
        return "Special Block";
    case file_type::Pipe:
        return "Fifo";
    default:
        return "Undefined";
    }
}

std::string EntryTexts::modified(const stream::rpc::DirectoryEntry& entry)
{
    const std::time_t time = entry.time;
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr)
        return {};
    return text::format("%u/%u/%u %02u:%02u:%02u", static_cast<unsigned>(local.tm_mday),
                        static_cast<unsigned>(local.tm_mon + 1), static_cast<unsigned>(local.tm_year + 1900),
                        static_cast<unsigned>(local.tm_hour), static_cast<unsigned>(local.tm_min),
                        static_cast<unsigned>(local.tm_sec));
}

std::string EntryTexts::attributes(const stream::rpc::DirectoryEntry& entry)
{
    std::string text = "----------";
    if (entry.type == file_type::Directory)
        text[0] = 'd';
    static constexpr char kLetters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        if (entry.mode & (0x100u >> bit))
            text[static_cast<std::size_t>(bit) + 1] = kLetters[bit];
    }
    return text;
}

std::string EntryTexts::remaining(std::uint64_t elapsedSeconds, unsigned percent)
{
    if (percent == 0 || elapsedSeconds == 0)
        return {};
    const std::uint64_t left = percent >= 100 ? 0 : elapsedSeconds * (100 - percent) / percent;
    const std::uint64_t minutes = left / 60;
    const std::uint64_t seconds = left % 60;
    const auto m = static_cast<unsigned long long>(minutes);
    const auto s = static_cast<unsigned long long>(seconds);
    if (minutes == 0 && seconds == 0)
        return "finished";
    if (minutes == 0)
        return text::format("%llu %s remaining", s, unit(seconds, "second", "seconds"));
    if (seconds == 0)
        return text::format("%llu %s remaining", m, unit(minutes, "minute", "minutes"));
    return text::format("%llu %s %llu %s remaining", m, unit(minutes, "minute", "minutes"), s,
                        unit(seconds, "second", "seconds"));
}

} // namespace zeb::explorer
