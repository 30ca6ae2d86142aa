#include "geometry/core/SkyPlotModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zeb::geometry {
namespace {

// A pass on a 300 x 300 client area: radius 140 around (150, 150).
constexpr int kSize = 300;

TEST(SkyPlotterTest, PlacesSatellitesOnTheSkyAndTurnsThemTheWayTheyMove)
{
    SkyPlotModel model;
    model.receive("$PKVR,SVDSEL,10");
    model.receive("$GPGSA,A,3,05");
    ASSERT_TRUE(model.receive("$GPGSV,1,1,02,05,45,000,40,06,00,090,30"));
    const SkyPicture& first = model.draw(kSize, kSize);
    EXPECT_EQ(first.radius, 140.0);
    EXPECT_NEAR(first.maskRadius, 124.444, 1e-3);
    EXPECT_TRUE(first.glyphs.empty()) << "a satellite seen for the first time is not drawn yet";
    EXPECT_EQ(first.title(), "Geometry - 0/2 SV");

    // PRN 5 moves up: azimuth 0 points right, angles grow anticlockwise on screen.
    model.receive("$GPGSV,1,1,02,05,45,090,40,06,00,090,30");
    const SkyPicture& second = model.draw(kSize, kSize);
    ASSERT_EQ(second.glyphs.size(), 2u);
    EXPECT_EQ(second.title(), "Geometry - 1/2 SV");
    const SkyGlyph* five = second.glyphs[0].prn == 5 ? &second.glyphs[0] : &second.glyphs[1];
    const SkyGlyph* six = second.glyphs[0].prn == 6 ? &second.glyphs[0] : &second.glyphs[1];
    EXPECT_NEAR(five->px, 150.0, 1e-9);
    EXPECT_NEAR(five->py, 150.0 - 70.0, 1e-9);
    EXPECT_TRUE(five->used);
    EXPECT_NEAR(five->direction, std::atan2(0.5, -0.5), 1e-12);
    EXPECT_NEAR(six->px, 150.0, 1e-9);
    EXPECT_NEAR(six->py, 10.0, 1e-9);
    EXPECT_FALSE(six->used);
    EXPECT_EQ(six->direction, 0.0) << "an unmoved x keeps the stored direction";
    // The glyph's nose (0, 15) turned by pi/2 + direction.
    const auto [noseX, noseY] = six->place(0, 15);
    EXPECT_NEAR(noseX, 165.0, 1e-9);
    EXPECT_NEAR(noseY, 10.0, 1e-9);
}

TEST(SkyPlotterTest, DrawingOrderRotatesFromPassToPass)
{
    SkyPlotModel model;
    model.receive("$GPGSV,1,1,03,02,10,10,1,07,10,20,1,31,10,30,1");
    model.draw(kSize, kSize);
    std::vector<unsigned> firsts;
    for (int pass = 0; pass < 3; ++pass)
        firsts.push_back(model.draw(kSize, kSize).glyphs.front().prn);
    EXPECT_EQ(firsts, (std::vector<unsigned>{7, 31, 2}));
}

TEST(SkyPlotterTest, TinyWindowsCollapseOntoTheCentre)
{
    SkyPlotModel model;
    model.receive("$GPGSV,1,1,01,02,10,10,1");
    model.draw(10, 10);
    const SkyPicture& picture = model.draw(10, 4);
    EXPECT_EQ(picture.radius, 0.0);
    EXPECT_EQ(picture.maskRadius, 0.0);
    ASSERT_EQ(picture.glyphs.size(), 1u);
    EXPECT_EQ(picture.glyphs[0].px, 5.0);
    EXPECT_EQ(picture.glyphs[0].py, 2.0);
    EXPECT_EQ(model.draw(-5, -5).radius, 0.0);
}

} // namespace
} // namespace zeb::geometry
