#pragma once

#include "messages/MessageKind.h"
#include "terminal/screen/ScreenLineStore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::platform {
class Settings;
}

namespace zeb::terminal {

// The terminal's message categories, in the order of the option pairs.
enum class MessageCategory : std::uint32_t {
    Telecommand = 0,
    SVar = 1,
    SBin = 2,
    UHF = 3,
    RTCM = 4,
    Unknown = 5,
};

enum class Direction : std::uint32_t {
    Receive = 0,
    Send = 1,
};

// How a category shows its messages; stored as a number in settings and workspaces.
enum class DisplayMode : std::uint32_t {
    Hidden = 0,
    Summary = 1,
    Text = 2,
    Hexadecimal = 3,
    Decoded = 4,
};

// One (mode, colour) pair. The mode is kept as read: a number above 4 shows messages as text, as every mode
// without a meaning of its own does. The colour is 0x00BBGGRR.
struct DisplayPair
{
    std::uint32_t mode = 0;
    std::uint32_t colour = 0;

    DisplayMode displayMode() const { return static_cast<DisplayMode>(mode); }
    bool operator==(const DisplayPair&) const = default;
};

// The terminal's display options: one pair per category and direction, pair index = category * 2 + direction.
class TerminalOptions
{
public:
    static constexpr std::size_t kCategoryCount = 6;
    static constexpr std::size_t kPairCount = kCategoryCount * 2;

    // The built-in defaults, without the settings.
    TerminalOptions();

    static MessageCategory categoryOf(messages::MessageKind kind);
    static std::size_t pairIndex(MessageCategory category, Direction direction)
    {
        return static_cast<std::size_t>(category) * 2 + static_cast<std::size_t>(direction);
    }
    // "MessageTelecommandReceive" ... "MessageUnknownSend"; empty for an index out of range.
    static std::string_view sectionName(std::size_t index);
    static DisplayPair defaultPair(std::size_t index);

    const DisplayPair& pair(MessageCategory category, Direction direction) const
    {
        return m_pairs[pairIndex(category, direction)];
    }
    DisplayPair& pair(MessageCategory category, Direction direction) { return m_pairs[pairIndex(category, direction)]; }
    const std::array<DisplayPair, kPairCount>& pairs() const { return m_pairs; }
    std::array<DisplayPair, kPairCount>& pairs() { return m_pairs; }

    // Each pair from the settings' integer values "mode" and "color" of its section, the defaults where
    // the settings hold none.
    static TerminalOptions fromSettings(const platform::Settings& settings);
    static TerminalOptions fromSettings();
    void writeSettings(platform::Settings& settings) const;
    void writeSettings() const;

    // The workspace option text: the twelve pairs "%u,%u", separated by commas.
    std::string toText() const;
    // Reads pairs back in order with "%u,%u%[^\r\n]": at most twelve, up to the first that does not give
    // two numbers; one comma after a pair is skipped. Pairs not given keep their values. Returns the count
    // of pairs read.
    std::size_t parseText(std::string_view text);

    bool operator==(const TerminalOptions&) const = default;

    // The screen's own options. They live in the settings only (section "Terminal"), so the workspace's
    // option text keeps its form. The scroll-back is clamped to kMinScrollBack..kMaxScrollBack lines.
    static constexpr int kMinScrollBack = ScreenLineStore::kMaxLines;
    static constexpr int kMaxScrollBack = ScreenLineStore::kMaxCapacity;
    bool timeStamps = false;
    bool nmeaChecksum = false;
    int scrollBack = kMinScrollBack;

private:
    std::array<DisplayPair, kPairCount> m_pairs;
};

} // namespace zeb::terminal
