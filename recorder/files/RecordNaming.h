#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zeb::recorder {

// Names of record files: directory, base name, naming convention, file index and extension,
// with the local time the file is opened at.
//   convention 1: <dir>/<base>-WWWW-SSSSSS-<index>.<ext>   (GNSS week and second of week)
//   convention 3: <dir>/<base>-DDMMYYYY-hhmmss-<index>.<ext>
//   any other:    <dir>/<base>-<index>.<ext>
// The GNSS week is counted from the local date as it stands: no leap seconds, no time zone.
class RecordNaming
{
public:
    struct LocalTime
    {
        int year = 1980;
        int month = 1; // 1-12
        int day = 6;
        int hour = 0;
        int minute = 0;
        int second = 0;

        static LocalTime now();
    };

    struct GnssWeekTime
    {
        std::uint32_t week = 0;
        std::uint32_t second = 0; // 0 <= second < 604800
    };

    // A file that exists keeps the recorder from writing there: the search for a free index
    // stops after this many names.
    static constexpr unsigned kMaxTries = 100000;

    std::string directory;
    std::string baseName;
    unsigned convention = 0;
    std::string extension = "UMA";

    std::string name(unsigned index, const LocalTime& time) const;
    // The first index from `from` on whose name does not exist (tried at most kMaxTries
    // times), with its name; none when every name tried exists.
    std::optional<std::pair<unsigned, std::string>> firstFree(unsigned from, const LocalTime& time) const;

    // Dates before the start of GNSS time give week 0, second 0.
    static GnssWeekTime gnssWeekTime(const LocalTime& time);
    // The first `from`, `from` + 1, ... for which `taken` is false, within kMaxTries.
    static std::optional<unsigned> firstFreeIndex(unsigned from, const std::function<bool(unsigned)>& taken);
    static bool exists(const std::string& path);
};

} // namespace zeb::recorder
