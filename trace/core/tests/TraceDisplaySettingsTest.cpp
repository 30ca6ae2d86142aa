#include "trace/core/TraceDisplaySettings.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace zeb::trace {
namespace {

TEST(TraceDisplaySettingsTest, FontTextRoundTripsAndShortTextsGiveTheDefault)
{
    EXPECT_EQ(FontDescription{}.text(), "courier,-11,0,0,0,400,0,0,0,0,4,32,0,0");
    FontDescription bold;
    bold.face = "DejaVu Sans Mono";
    bold.weight = 700;
    EXPECT_EQ(FontDescription::fromText(bold.text()), bold);
    EXPECT_EQ(FontDescription::fromText("Mono,-12,0,0,0,700"), FontDescription{});
    EXPECT_EQ(FontDescription::fromText(""), FontDescription{});
}

TEST(TraceDisplaySettingsTest, ColoursAndFontSurviveARestart)
{
    platform::MemorySettings store;
    const TraceDisplaySettings defaults = TraceDisplaySettings::read(store);
    EXPECT_EQ(defaults, TraceDisplaySettings{});
    EXPECT_EQ(defaults.colourOf(2), 0xFF00FFU);
    EXPECT_EQ(defaults.colourOf(7), 0x0000FFU);

    TraceDisplaySettings changed;
    changed.colours[3] = 0x123456;
    changed.font.weight = 700;
    changed.write(store);
    EXPECT_EQ(store.readInt("Settings", "IHDBColor3", 0), 0x123456);
    EXPECT_EQ(TraceDisplaySettings::read(store), changed);
}

} // namespace
} // namespace zeb::trace
