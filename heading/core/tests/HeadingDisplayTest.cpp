#include "heading/core/HeadingDisplay.h"

#include "heading/core/HeadingSentenceReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zeb::heading {
namespace {

using Kind = HeadingReading::Kind;

struct SentenceCase
{
    const char* text;
    Kind kind;
    double heading;
    std::optional<double> deviation;
    std::optional<std::uint32_t> satellites;
};

// Both heading sentences, with the values that count as absent.
TEST(HeadingSentenceReaderTest, ReadsHeadingsAndTreatsNonFiniteValuesAsAbsent)
{
    const std::vector<SentenceCase> cases{
        // A receiver that sends only HDT still gets a valid heading.
        {"$GPHDT,123.4,T*00\r\n", Kind::Heading, 123.4, {}, {}},
        {"$GPHDT,,T*1B\r\n", Kind::None, 0, {}, {}},
        {"$GPHDT,inf,T\r\n", Kind::None, 0, {}, {}},
        {"$GPHDT,nan,T\r\n", Kind::None, 0, {}, {}},
        {"$GPHDT,1e300,T\r\n", Kind::Heading, 1e300, {}, {}},
        {"$PKVR,HRP,120000.00,271.5,T,1.2,-0.4,0.3,11,R\r\n", Kind::Heading, 271.5, 0.3, 11u},
        {"$PKVR,HRP,120000.00,271.5,T,1.2,-0.4,,,R\r\n", Kind::Heading, 271.5, {}, {}},
        {"$PKVR,HRP,120000.00,271.5,T,1.2,-0.4,0.3,11,N\r\n", Kind::NoHeading, 0, {}, {}},
        {"$PKVR,HRP,120000.00,271.5,T,1.2,-0.4,0.3,11,\r\n", Kind::NoHeading, 0, {}, {}},
        {"$PKVR,HRP,120000.00,,T,1.2,-0.4,0.3,11,R\r\n", Kind::NoHeading, 0, {}, {}},
        {"$PKVR,HRP,120000.00,nan,T,1.2,-0.4,0.3,11,R\r\n", Kind::None, 0, {}, {}},
        {"$PKVR,HRP,120000.00,10,X,1.2,-0.4,0.3,11,R\r\n", Kind::None, 0, {}, {}},
        {"$PKVR,HDGSET,1,2,3,4\r\n", Kind::None, 0, {}, {}},
    };
    HeadingSentenceReader reader;
    for (const SentenceCase& c : cases) {
        SCOPED_TRACE(c.text);
        const HeadingReading reading = reader.read(c.text);
        EXPECT_EQ(reading.kind, c.kind);
        if (c.kind != Kind::Heading)
            continue;
        EXPECT_DOUBLE_EQ(reading.heading, c.heading);
        EXPECT_EQ(reading.deviation, c.deviation);
        EXPECT_EQ(reading.satellites, c.satellites);
    }
}

// The card turns the short way in steps of 5 degrees, each drawn, across north as well.
TEST(HeadingDisplayTest, TurnsTheShortWayInFiveDegreeSteps)
{
    std::vector<double> drawn;
    HeadingDisplay display;
    display = HeadingDisplay([&] { drawn.push_back(display.displayed()); });
    display.setHeading(350);
    drawn.clear();
    display.setHeading(10);
    EXPECT_EQ(drawn, (std::vector<double>{355, 0, 5, 10}));

    drawn.clear();
    display.setHeading(-20); // 340, 30 degrees back
    EXPECT_EQ(drawn, (std::vector<double>{5, 0, 355, 350, 345, 340}));
    EXPECT_DOUBLE_EQ(display.displayed(), 340);
}

// Huge values land in [0, 360) at once, non-finite ones change nothing.
TEST(HeadingDisplayTest, NormalisesAnyFiniteHeadingAndIgnoresTheRest)
{
    int redraws = 0;
    HeadingDisplay display([&] { ++redraws; });
    display.setHeading(1e300);
    EXPECT_GE(display.displayed(), 0);
    EXPECT_LT(display.displayed(), 360);
    EXPECT_LE(redraws, 37);
    const double before = display.displayed();
    display.setHeading(std::numeric_limits<double>::infinity());
    display.setHeading(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(display.displayed(), before);
    display.setHeading(-725.5);
    EXPECT_DOUBLE_EQ(display.displayed(), 354.5);
}

TEST(HeadingDisplayTest, TextsFollowValidityAndClearOnNoHeading)
{
    HeadingDisplay display;
    EXPECT_EQ(display.wholeText(), "***");
    EXPECT_EQ(display.tenthsText(), ".*");

    display.apply({Kind::Heading, 271.58, 0.25, 11u});
    EXPECT_EQ(display.wholeText(), "271");
    EXPECT_EQ(display.tenthsText(), ".5");
    EXPECT_EQ(display.deviationText(), "SD 0.2");
    EXPECT_EQ(display.satellitesText(), "SV 11");

    display.apply({Kind::None, 0, {}, {}});
    EXPECT_EQ(display.wholeText(), "271");

    display.apply({Kind::NoHeading, 0, {}, {}});
    EXPECT_FALSE(display.valid());
    EXPECT_EQ(display.wholeText(), "***");
    EXPECT_EQ(display.deviationText(), "");
    EXPECT_EQ(display.satellitesText(), "");
}

} // namespace
} // namespace zeb::heading
