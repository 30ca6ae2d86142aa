// Reads arbitrary bytes as a settings file, writes what was read and reads that again: the settings must
// come back unchanged, every written line must fit a line the reader takes, and the lists stay bounded.
#include "recorder/settings/RecorderSettings.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using zeb::recorder::RecorderSettings;
using zeb::testsupport::check;

namespace {

RecorderSettings readSettings(std::string_view text)
{
    RecorderSettings settings = RecorderSettings::defaults("/home/fuzz");
    settings.clearLists();
    settings.handleText(text);
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RecorderSettings first = readSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    check(first.ports.size() <= RecorderSettings::kMaxPorts && first.tracks.size() <= RecorderSettings::kMaxTracks
          && first.filters.size() <= RecorderSettings::kMaxFilters);
    check(first.sizeLimit() >= 1024);
    const std::string written = first.lines();
    for (std::size_t at = 0, end = 0; at < written.size(); at = end + 1) {
        end = written.find('\n', at);
        check(end != std::string::npos && end - at + 1 <= RecorderSettings::kMaxLine);
    }
    check(readSettings(written) == first);
    return 0;
}
