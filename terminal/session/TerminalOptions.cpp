#include "terminal/session/TerminalOptions.h"

#include "platform/Settings.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <algorithm>

namespace zeb::terminal {

namespace {

constexpr std::array<std::string_view, TerminalOptions::kPairCount> kSections = {
    "MessageTelecommandReceive", "MessageTelecommandSend", "MessageSVarReceive",    "MessageSVarSend",
    "MessageSBinReceive",        "MessageSBinSend",        "MessageUHFReceive",     "MessageUHFSend",
    "MessageRTCMReceive",        "MessageRTCMSend",        "MessageUnknownReceive", "MessageUnknownSend",
};

constexpr std::array<DisplayPair, TerminalOptions::kPairCount> kDefaults = {{
    {2, 0xFF0000}, // Telecommand receive
    {2, 0x000000}, // Telecommand send
    {2, 0x00FF00}, // SVar receive
    {2, 0x008000}, // SVar send
    {4, 0x0000FF}, // SBin receive
    {4, 0x000080}, // SBin send
    {4, 0x0000FF}, // UHF receive
    {4, 0x000080}, // UHF send
    {1, 0x00FFFF}, // RTCM receive
    {1, 0x008080}, // RTCM send
    {0, 0xFF00FF}, // Unknown receive
    {0, 0x800080}, // Unknown send
}};

constexpr std::string_view kModeKey = "mode";
constexpr std::string_view kColourKey = "color";
constexpr std::string_view kScreenSection = "Terminal";
constexpr std::string_view kTimeStampsKey = "TimeStamps";
constexpr std::string_view kChecksumKey = "NmeaChecksum";
constexpr std::string_view kScrollBackKey = "ScrollBack";

} // namespace

TerminalOptions::TerminalOptions()
    : m_pairs(kDefaults)
{
}

MessageCategory TerminalOptions::categoryOf(messages::MessageKind kind)
{
    switch (kind) {
    case messages::MessageKind::Telecommand:
        return MessageCategory::Telecommand;
    case messages::MessageKind::SVar:
        return MessageCategory::SVar;
    case messages::MessageKind::SBin:
        return MessageCategory::SBin;
    case messages::MessageKind::UHF:
        return MessageCategory::UHF;
    case messages::MessageKind::RTCM:
        return MessageCategory::RTCM;
    default:
        return MessageCategory::Unknown;
    }
}

std::string_view TerminalOptions::sectionName(std::size_t index)
{
    return index < kSections.size() ? kSections[index] : std::string_view();
}

DisplayPair TerminalOptions::defaultPair(std::size_t index)
{
    return index < kDefaults.size() ? kDefaults[index] : DisplayPair();
}

TerminalOptions TerminalOptions::fromSettings(const platform::Settings& settings)
{
    TerminalOptions options;
    for (std::size_t i = 0; i < kPairCount; ++i) {
        DisplayPair& pair = options.m_pairs[i];
        pair.mode = static_cast<std::uint32_t>(settings.readInt(kSections[i], kModeKey, static_cast<int>(pair.mode)));
        pair.colour
            = static_cast<std::uint32_t>(settings.readInt(kSections[i], kColourKey, static_cast<int>(pair.colour)));
    }
    options.timeStamps = settings.readInt(kScreenSection, kTimeStampsKey, 0) != 0;
    options.nmeaChecksum = settings.readInt(kScreenSection, kChecksumKey, 0) != 0;
    options.scrollBack
        = std::clamp(settings.readInt(kScreenSection, kScrollBackKey, kMinScrollBack), kMinScrollBack, kMaxScrollBack);
    return options;
}

TerminalOptions TerminalOptions::fromSettings()
{
    return fromSettings(platform::Settings::current());
}

void TerminalOptions::writeSettings(platform::Settings& settings) const
{
    for (std::size_t i = 0; i < kPairCount; ++i) {
        settings.writeInt(kSections[i], kModeKey, static_cast<int>(m_pairs[i].mode));
        settings.writeInt(kSections[i], kColourKey, static_cast<int>(m_pairs[i].colour));
    }
    settings.writeInt(kScreenSection, kTimeStampsKey, timeStamps ? 1 : 0);
    settings.writeInt(kScreenSection, kChecksumKey, nmeaChecksum ? 1 : 0);
    settings.writeInt(kScreenSection, kScrollBackKey, scrollBack);
    settings.flush();
}

void TerminalOptions::writeSettings() const
{
    writeSettings(platform::Settings::current());
}

std::string TerminalOptions::toText() const
{
    std::string text;
    for (std::size_t i = 0; i < kPairCount; ++i) {
        if (i > 0) {
            text += ',';
        }
        text::appendFormat(text, "%u,%u", m_pairs[i].mode, m_pairs[i].colour);
    }
    return text;
}

std::size_t TerminalOptions::parseText(std::string_view text)
{
    std::string rest(text);
    std::size_t count = 0;
    while (count < kPairCount) {
        unsigned mode = 0;
        unsigned colour = 0;
        std::string next;
        const int read = text::scan(rest, "%u,%u%[^\r\n]", &mode, &colour, &next);
        if (read < 2) {
            break;
        }
        m_pairs[count++] = DisplayPair{mode, colour};
        if (read < 3) {
            break;
        }
        rest = next.starts_with(',') ? next.substr(1) : next;
    }
    return count;
}

} // namespace zeb::terminal
