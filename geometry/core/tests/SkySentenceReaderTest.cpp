#include "geometry/core/SkySentenceReader.h"

#include "geometry/core/SkyTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace zeb::geometry {
namespace {

class SkySentenceReaderTest : public ::testing::Test
{
protected:
    SkySentence read(const std::string& sentence) { return reader.read(sentence, table); }
    bool visible(unsigned prn) const { return table.satellite(prn).visible; }

    SkyTable table;
    SkySentenceReader reader;
};

TEST_F(SkySentenceReaderTest, GroupOfThreeClearsOnTheFirstAndEndsOnTheLast)
{
    ASSERT_EQ(read("$GPGSV,1,1,01,07,10,020,30*7F\r\n"), SkySentence::GroupEnd);
    EXPECT_EQ(read("$GPGSV,3,1,09,01,19,319,41,02,17,093,40,04,09,049,37,05,60,046,49*77\r\n"),
              SkySentence::Satellites);
    EXPECT_FALSE(visible(7)) << "message 1 clears what the previous group showed";
    EXPECT_EQ(read("$GPGSV,3,2,09,06,39,195,46,09,40,115,46,14,48,286,47,25,09,307,36*71\r\n"),
              SkySentence::Satellites);
    EXPECT_EQ(read("$GPGSV,3,3,09,30,35,247,45*4C\r\n"), SkySentence::GroupEnd);
    for (unsigned prn : {1u, 2u, 4u, 5u, 6u, 9u, 14u, 25u, 30u})
        EXPECT_TRUE(visible(prn)) << prn;
    EXPECT_NEAR(table.satellite(5).elevation, 60 * SkyTable::kDegreesToRadians, 1e-12);
    EXPECT_NEAR(table.satellite(5).azimuth, 46 * SkyTable::kDegreesToRadians, 1e-12);
}

TEST_F(SkySentenceReaderTest, AnIncompleteSatelliteEndsTheSentenceButAnEmptySnrDoesNot)
{
    read("$GPGSV,1,1,03,02,46,305,40,04,,240,30,05,14,290,31*74");
    EXPECT_TRUE(visible(2));
    EXPECT_FALSE(visible(4));
    EXPECT_FALSE(visible(5));
    // A satellite in view but not tracked has an empty SNR: it is shown, and so are those after it.
    read("$GPGSV,1,1,03,07,46,134,,10,65,329,44,11,10,20,*79");
    EXPECT_TRUE(visible(7) && visible(10) && visible(11));
    read("$GPGSV,1,1,02,12,46,134,x,13,65,329,44");
    EXPECT_FALSE(visible(12)) << "an SNR that is no number is no empty field";
    read("$GPGSV,1,1,02,14,46,134");
    EXPECT_FALSE(visible(14));
}

TEST_F(SkySentenceReaderTest, HostileSatellitesAreIgnoredAndEveryScanEnds)
{
    // The last satellite leaves no rest: read literally, a scan that fails to store the rest would
    // read that satellite again and again. Then PRN 0 and 300, impossible elevations, infinite and
    // NaN values: skipped, with the good satellites around them kept.
    EXPECT_EQ(read("$GPGSV,1,1,04,03,10,20,30"), SkySentence::GroupEnd);
    EXPECT_TRUE(visible(3));
    read("$GPGSV,1,1,08,00,10,20,30,300,10,20,30,08,1e300,20,30,09,inf,20,30,11,nan,20,30,12,10,inf,30,13,-95,20,30,"
         "14,10,1e300,30,120,45,90,30");
    for (unsigned prn : {8u, 9u, 11u, 12u, 13u})
        EXPECT_FALSE(visible(prn)) << prn;
    EXPECT_TRUE(visible(14)) << "a huge finite azimuth is folded into one turn";
    EXPECT_LT(std::fabs(table.satellite(14).azimuth), 2 * M_PI);
    EXPECT_TRUE(visible(120)) << "PRNs 33-256 are stored, though never shown";
    // One sentence reads at most 64 satellites, however long it is.
    std::string longest = "$GPGSV,1,1,99";
    for (int i = 0; i < 100; ++i)
        longest += ",33,10,20,30";
    read(longest + ",05,10,20,30");
    EXPECT_FALSE(visible(5));
}

TEST_F(SkySentenceReaderTest, GsaMarksAtMostTwelveAndEndsAtTheFirstEmptyField)
{
    table.markUsed(30);
    EXPECT_EQ(read("$GPGSA,A,3,01,02,04,,06,,,,,,,,3.6,2.0,3.0*3A\r\n"), SkySentence::Used);
    EXPECT_TRUE(table.satellite(4).used);
    EXPECT_FALSE(table.satellite(6).used);
    EXPECT_FALSE(table.satellite(30).used) << "a GSA clears the previous used flags";
    read("$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,13,14");
    EXPECT_TRUE(table.satellite(12).used);
    EXPECT_FALSE(table.satellite(13).used);
}

TEST_F(SkySentenceReaderTest, MaskIsTheAbsoluteAngleUpToARightAngle)
{
    EXPECT_EQ(read("$PKVR,SVDSEL,-10,GPS*00\r\n"), SkySentence::Mask);
    EXPECT_NEAR(table.mask(), 10 * SkyTable::kDegreesToRadians, 1e-12);
    read("$PKVR,SVDSEL,120");
    read("$PKVR,SVDSEL,nan");
    read("$PKVR,SVDSEL,-inf");
    EXPECT_DOUBLE_EQ(table.mask(), SkyTable::kHalfPi) << "120 is a right angle; a non-finite mask is ignored";
    for (const char* sentence : {"$GNGSA,A,3,03,19*10", "$GPGSV,3", "$PKVR,SVDSEL,", "", "$GPGSA,A"})
        EXPECT_EQ(read(sentence), SkySentence::Ignored) << sentence;
}

} // namespace
} // namespace zeb::geometry
