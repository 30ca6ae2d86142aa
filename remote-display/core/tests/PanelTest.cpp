#include "platform/MemorySettings.h"
#include "remote-display/core/Contrast.h"
#include "remote-display/core/KeyRepeat.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/PanelSettings.h"
#include "remote-display/core/TextDisplay.h"

#include <gtest/gtest.h>

namespace zeb::remote_display {
namespace {

// Points on the edges and corners of hot spots hit them; points just outside hit nothing.
TEST(PanelKeys, FindsTheKeyUnderAPointEdgesIncluded)
{
    struct Case
    {
        int x, y;
        std::uint32_t code;
    };
    const Case cases[] = {
        {485, 72, key_code::Digit1},    {527, 101, key_code::Digit1}, {541, 117, 0xFFFF0005u},
        {635, 229, key_code::Digit0},   {100, 342, key_code::Soft1},  {398, 343, key_code::Soft5},
        {595, 249, key_code::Contrast}, {636, 320, key_code::Menu},   {496, 232, key_code::Up},
        {539, 338, key_code::Down},     {466, 307, key_code::Left},   {571, 264, key_code::Right},
    };
    for (const Case& c : cases) {
        const HotSpot* spot = PanelKeys::at(c.x, c.y);
        ASSERT_NE(spot, nullptr) << c.x << "," << c.y;
        EXPECT_EQ(spot->code, c.code) << c.x << "," << c.y;
    }
    for (const auto& [x, y] : {std::pair{484, 72}, {527, 102}, {0, 0}, {200, 200}, {-5, 80}})
        EXPECT_EQ(PanelKeys::at(x, y), nullptr) << x << "," << y;
    EXPECT_FALSE(PanelKeys::isSent(key_code::Contrast));
    EXPECT_FALSE(PanelKeys::isSent(key_code::Menu));
}

TEST(PanelKeys, MapsKeyboardKeysAndCharacters)
{
    EXPECT_EQ(PanelKeys::code(KeyboardKey::F1), 0xFFF00000u);
    EXPECT_EQ(PanelKeys::code(KeyboardKey::F4), 0xFFF00003u);
    EXPECT_EQ(PanelKeys::code(KeyboardKey::F5), 0xFFF00005u);
    EXPECT_EQ(PanelKeys::code(KeyboardKey::Right), 0xFFF10003u);
    EXPECT_EQ(PanelKeys::code(KeyboardKey::Escape), 0xFFF10006u);
    EXPECT_EQ(PanelKeys::code(KeyboardKey::Tab), 0xFFF10007u);
    EXPECT_EQ(PanelKeys::characterCode(32), 32u);
    EXPECT_EQ(PanelKeys::characterCode(127), 127u);
    EXPECT_FALSE(PanelKeys::characterCode(31));
    EXPECT_FALSE(PanelKeys::characterCode(128));
}

// Ten presses from 0 pass 0.9 and wrap exactly to -1.0.
TEST(Contrast, TenStepsFromZeroWrapToMinusOne)
{
    Contrast contrast;
    for (int i = 0; i < 9; ++i)
        contrast.step();
    EXPECT_EQ(contrast.text(), "0.9");
    contrast.step();
    EXPECT_EQ(contrast.value(), -1.0);
    EXPECT_EQ(contrast.text(), "-1");
}

TEST(Contrast, ReadsOnlyNumbersWithinRange)
{
    EXPECT_EQ(Contrast::fromText("0.3").tenths(), 3);
    EXPECT_EQ(Contrast::fromText("-1").tenths(), -10);
    for (const char* bad : {"", "abc", "nan", "inf", "1e308", "0.95", "-1.1", "0.3x"})
        EXPECT_EQ(Contrast::fromText(bad).tenths(), 0) << bad;
}

// k = 0 is white, |k| = 1 the base colour, and in between each channel rounds down.
TEST(Contrast, BlendsTheBaseColourTowardsWhite)
{
    constexpr std::uint32_t base = 0x7589BC;
    EXPECT_EQ(Contrast().background(base), 0xFFFFFFu);
    EXPECT_EQ(Contrast::fromText("-1").background(base), base);
    // 0xBC + floor(0x43 * 0.5) = 0xDD; 0x89 + floor(0x76 * 0.5) = 0xC4; 0x75 + floor(0x8A * 0.5) = 0xBA.
    EXPECT_EQ(Contrast::fromText("0.5").background(base), 0xBAC4DDu);
}

// What the settings file holds is brought into range; a round trip keeps every value.
TEST(PanelSettings, BoundsWhatTheFileHoldsAndRoundTrips)
{
    platform::MemorySettings store;
    const PanelSettings defaults = PanelSettings::read(store);
    EXPECT_EQ(defaults.pressed, (PanelSettings::Beep{true, 400, 20}));
    EXPECT_EQ(defaults.released, (PanelSettings::Beep{true, 380, 20}));
    EXPECT_EQ(defaults.color, 7703420u);

    store.writeInt("Settings", "keyPressedFrequency", 5);
    store.writeInt("Settings", "keyPressedDuration", 100000);
    store.writeInt("Settings", "keyDepressedFrequency", 99999);
    store.writeInt("Settings", "keyDepressedDuration", -3);
    store.writeInt("Settings", "color", -1);
    store.writeText("Settings", "contrast", "7");
    const PanelSettings hostile = PanelSettings::read(store);
    EXPECT_EQ(hostile.pressed, (PanelSettings::Beep{true, 30, 500}));
    EXPECT_EQ(hostile.released, (PanelSettings::Beep{true, 30000, 1}));
    EXPECT_EQ(hostile.color, 0xFFFFFFu);
    EXPECT_EQ(hostile.contrast.tenths(), 0);

    PanelSettings edited = defaults;
    edited.pressed = {false, 1000, 50};
    edited.contrast = Contrast::fromText("-0.3");
    edited.autoConnect = false;
    edited.path = "/dev/client/localhost/4001";
    edited.write(store);
    const PanelSettings back = PanelSettings::read(store);
    EXPECT_EQ(back.pressed, edited.pressed);
    EXPECT_EQ(back.contrast.tenths(), -3);
    EXPECT_FALSE(back.autoConnect);
    EXPECT_EQ(back.path, edited.path);
}

// A held key repeats after 500 ms, then every 200 ms, and nothing after its release.
TEST(KeyRepeat, RepeatsTheHeldKeyUntilReleased)
{
    KeyRepeat repeat;
    EXPECT_EQ(repeat.press(0xFFFF0005u), KeyRepeat::kFirstDelay);
    EXPECT_EQ(KeyRepeat::kFirstDelay.count(), 500);
    EXPECT_EQ(KeyRepeat::kInterval.count(), 200);
    EXPECT_EQ(repeat.tick(), 0xFFFF0005u);
    repeat.release();
    EXPECT_FALSE(repeat.tick());
}

TEST(TextDisplay, CutsTwoRowsOfSixteenAndColoursByLevel)
{
    using Rows = std::vector<std::string>;
    EXPECT_EQ(TextDisplay::rows("abcdefghijklmnopqrs"), (Rows{"abcdefghijklmnop", "qrs"}));
    EXPECT_EQ(TextDisplay::rows("one\r\ntwo\rthree"), (Rows{"one", "two"}));
    EXPECT_EQ(TextDisplay::rows(std::string_view("a\0b", 3)), (Rows{"a"}));
    EXPECT_EQ(TextDisplay::rows(""), Rows{});
    EXPECT_EQ(TextDisplay::levelColor(0.5), 0x008000u);
    EXPECT_EQ(TextDisplay::levelColor(0.7), 0x00C800u);
    EXPECT_EQ(TextDisplay::levelColor(1.0), 0x00FF00u);
    EXPECT_EQ(TextDisplay::levelColor(std::nan("")), 0x008000u);
}

} // namespace
} // namespace zeb::remote_display
