// Parses arbitrary bytes as a settings file and reads keys a file of the workbench holds.
// Checks that reads are consistent: a number read is the number the text holds, and a
// value written afterwards reads back as written.
#include "platform/IniSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

constexpr std::string_view kMissing = "\x01missing";

void checkKey(zeb::platform::IniSettings& settings, std::string_view section, std::string_view key)
{
    const std::string text = settings.readText(section, key, kMissing);
    const int first = settings.readInt(section, key, 1);
    const int second = settings.readInt(section, key, 2);
    const bool isNumber = first == second;
    if (text == kMissing)
        check(!isNumber);
    if (isNumber && text.find_first_of(" \t\n\r\v\f+") == std::string::npos)
        check(text == std::to_string(first) || text.starts_with("-0") || text.starts_with('0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto settings = zeb::platform::IniSettings::fromText(text);
    checkKey(*settings, "Settings", "mode");
    checkKey(*settings, "Settings", "color");
    checkKey(*settings, "SerialPorts", "COM1");
    checkKey(*settings, "S", "k");
    checkKey(*settings, "", "top");
    checkKey(*settings, "General", "x");
    // A key named by the input's first bytes, so that escaped names are looked up too.
    const std::string_view named = text.substr(0, text.find_first_of("=\n"));
    checkKey(*settings, "Settings", named.substr(0, 32));
    settings->writeText("Settings", "mode", text.substr(0, 16));
    check(settings->readText("Settings", "mode", kMissing) == text.substr(0, 16));
    return 0;
}
