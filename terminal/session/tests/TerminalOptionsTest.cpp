#include "terminal/session/TerminalOptions.h"

#include "platform/MemorySettings.h"
#include "terminal/session/TerminalSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace zeb::terminal::test {
namespace {

using messages::MessageKind;

TEST(TerminalOptions, SettingsRoundTripUnderTheNamedSections)
{
    platform::MemorySettings settings;
    EXPECT_EQ(TerminalOptions::fromSettings(settings), TerminalOptions()) << "empty settings give the defaults";

    settings.writeInt("MessageUHFSend", "mode", 3);
    TerminalOptions partial = TerminalOptions::fromSettings(settings);
    EXPECT_EQ(partial.pair(MessageCategory::UHF, Direction::Send), (DisplayPair{3, 0x000080}))
        << "a missing colour keeps its default";

    TerminalOptions options;
    for (std::size_t i = 0; i < TerminalOptions::kPairCount; ++i) {
        options.pairs()[i] = {static_cast<std::uint32_t>(i % 5), static_cast<std::uint32_t>(0x10101 * i)};
    }
    options.timeStamps = options.nmeaChecksum = true;
    options.scrollBack = 5000;
    options.writeSettings(settings);
    EXPECT_EQ(TerminalOptions::fromSettings(settings), options);
    EXPECT_EQ(settings.readInt("MessageTelecommandReceive", "mode", -1), 0);
    // A scroll-back outside the bounds (a hand-edited file) is clamped.
    settings.writeInt("Terminal", "ScrollBack", -1);
    EXPECT_EQ(TerminalOptions::fromSettings(settings).scrollBack, TerminalOptions::kMinScrollBack);
}

TEST(TerminalOptions, OptionTextEdgeCases)
{
    struct Case
    {
        const char* what;
        const char* text;
        std::size_t read;
        std::vector<std::pair<std::size_t, DisplayPair>> changed;
    };
    const Case cases[] = {
        {"two pairs", "3,4,0,5", 2, {{0, {3, 4}}, {1, {0, 5}}}},
        {"a pair missing its colour ends reading", "3,4,1", 1, {{0, {3, 4}}}},
        {"two commas: the second fails the next pair", "3,4,,1,2", 1, {{0, {3, 4}}}},
        {"blanks before numbers are allowed", " 1, 2, 3, 4", 2, {{0, {1, 2}}, {1, {3, 4}}}},
    };
    for (const Case& c : cases) {
        TerminalOptions options;
        EXPECT_EQ(options.parseText(c.text), c.read) << c.what;
        TerminalOptions expected;
        for (const auto& [index, pair] : c.changed) {
            expected.pairs()[index] = pair;
        }
        EXPECT_EQ(options, expected) << c.what;
    }

    TerminalOptions options;
    EXPECT_EQ(options.parseText("1,1,1,2,1,3,1,4,1,5,1,6,1,7,1,8,1,9,1,10,1,11,1,12,1,13"), 12U)
        << "a thirteenth pair is not read";
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(options.pairs()[i], (DisplayPair{1, static_cast<std::uint32_t>(i + 1)}));
    }
}

} // namespace
} // namespace zeb::terminal::test
