#include "messages/SentenceParser.h"

#include "messages/Checksum.h"
#include "messages/FieldScanner.h"
#include "testsupport/AllocationCounter.h"
#include "testsupport/CaptureFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zeb::messages {
namespace {

namespace family = sentence_family;
namespace mode = sentence_mode;
namespace result = sentence_result;
namespace scanned = field_scan_result;

TEST(SentenceParser, ResultCodes)
{
    const std::string longest = "$GPTXT," + std::string(113, 'x');
    const std::vector<std::pair<std::string, int>> cases = {
        {"$GPHDT,123.4,T*30", result::ChecksumMismatch},
        {"$GPHDT,123.4,T*3G", result::Parsed}, // not hexadecimal: no checksum, "T*3G" is a field
        {"*00", result::Malformed}, // checksum of nothing is right, the rest is empty
        {longest, result::Parsed},
        {longest + "x", result::Malformed},
        {longest + "\r\nrest after the line end is not measured", result::Parsed},
        {"", result::Malformed},
        {"$GPHD,1", result::Malformed}, // address must be "$" and five characters
        {"#GPHDT,1", result::Malformed},
        {"$GPHDT", result::Parsed}, // no data fields
        {"$PKVR", result::Malformed}, // a proprietary family needs its sub-word
        {"$PKVR,ABCDEFG", result::Malformed},
        {"$PKVR,ABCDEF", result::Parsed},
        {"$GPECQ,GG", result::Malformed}, // a query names a three-letter sentence
    };
    SentenceParser parser;
    for (const auto& [sentence, code] : cases) {
        EXPECT_EQ(parser.parse(sentence), code) << sentence;
    }
}

TEST(SentenceParser, ProprietaryFamiliesAndQueries)
{
    struct Case
    {
        std::string sentence;
        std::uint32_t family;
        std::uint32_t mode;
        std::string talker;
        std::string listener;
        std::string identifier;
        std::size_t fields;
    };
    const std::vector<Case> cases = {
        {"$PKVR,HDGSET\r\n", family::Pkvr, mode::Query, "", "", "HDGSET", 0},
        {"$PKVR,HRP,1,2,T", family::Pkvr, mode::Sentence, "", "", "HRP", 3},
        {"$PTSS,A,1", family::Ptss, mode::Sentence, "", "", "A", 1},
        {"$PRCM,STATUS", family::Prcm, mode::Query, "", "", "STATUS", 0},
        {"$GPECQ,GGA", family::Talker, mode::Query, "GP", "EC", "GGA", 0},
        {"$PGRME,15.0,M", family::Talker, mode::Sentence, "PG", "", "RME", 2},
    };
    SentenceParser parser;
    for (const auto& c : cases) {
        ASSERT_EQ(parser.parse(c.sentence), result::Parsed) << c.sentence;
        EXPECT_EQ(parser.family(), c.family) << c.sentence;
        EXPECT_EQ(parser.mode(), c.mode) << c.sentence;
        EXPECT_EQ(parser.talker(), c.talker) << c.sentence;
        EXPECT_EQ(parser.listener(), c.listener) << c.sentence;
        EXPECT_EQ(parser.identifier(), c.identifier) << c.sentence;
        EXPECT_EQ(parser.fieldCount(), c.fields) << c.sentence;
    }
}

TEST(SentenceParser, FieldsKeepQuotedCommasReportAbsentOnesAndAreAtMostThirty)
{
    SentenceParser parser;
    ASSERT_EQ(parser.parse("$PKVR,MSG,'a,b',,c"), result::Parsed);
    ASSERT_EQ(parser.fieldCount(), 3u);
    EXPECT_EQ(parser.field(1), "'a,b'");
    EXPECT_FALSE(parser.hasField(2));
    EXPECT_EQ(parser.field(3), "c");
    EXPECT_EQ(parser.field(4), "");

    ASSERT_EQ(parser.parse("$PKVR,MSG,'open,quote"), result::Parsed);
    EXPECT_EQ(parser.fieldCount(), 1u) << "an unclosed quote runs to the end";

    std::string sentence = "$GPXYZ";
    for (int i = 1; i < 30; ++i) {
        sentence += ",1";
    }
    ASSERT_EQ(parser.parse(sentence), result::Parsed);
    EXPECT_EQ(parser.fieldCount(), 29u);
    EXPECT_EQ(parser.parse(sentence + ",1"), result::Malformed);
    const std::string lastQuoted = sentence.substr(0, sentence.size() - 2) + ",'1,1'";
    EXPECT_EQ(parser.parse(lastQuoted), result::Parsed) << "a quoted comma does not split";
}

TEST(SentenceParser, ParsingAndScanningAllocateNothing)
{
    const std::string sentence = "$PKVR,HRP,1.5,244.28,T,0.1,-0.2,0.03,12,A*00\r\n";
    SentenceParser parser;
    FieldScanner scanner;
    const testsupport::AllocationCounter allocations;
    for (int i = 0; i < 100; ++i) {
        parser.parse(sentence);
        parser.parse("$PKVR,HRP,1.5,244.28,T,0.1,-0.2,0.03,12,A");
        scanner.scan(parser, "%f64,%f64,T,%f64,%f64,%f64,%u32,%c08");
    }
    EXPECT_EQ(allocations.count(), 0u);
}

// Result codes over every line of the captured logs. Each non-zero code is explained by the data:
// proprietary addresses that are not "$" and five characters ($PMTK001, $PQVERNO, $PSTMCPU, $PSTI), the
// $PMTKCHN lines of 203 characters, the three JSON lines, and in isync.nmea the two halves of a sentence
// that another one cut in two, whose checksums no longer match.
// Every fix sentence converts with a typed format, empty fields included, except the no-fix placeholder
// position one receiver sends (latitude 8960.000000, 60 minutes), which the range check refuses.
TEST(CapturedLogs, ResultCodesAndTheFixAndHeadingConversions)
{
    struct Golden
    {
        const char* file;
        std::map<int, std::size_t> counts;
    };
    const std::vector<Golden> goldens = {
        {"bu353-glonass.nmea", {{0, 112}}},
        {"garmin-geko201.nmea", {{0, 213}}},
        {"hemi.nmea", {{0, 753}}},
        {"isync.nmea", {{0, 133}, {15, 2}}},
        {"mtk-3301.nmea", {{0, 47}, {6, 12}}},
        {"polarx2.nmea", {{0, 75}}},
        {"quectel-L70.nmea", {{0, 107}, {6, 8}}},
        {"skytraq-PX1172RH_DS.nmea", {{0, 141}, {6, 57}}},
        {"st-teseo-liv3f.nmea", {{0, 377}, {6, 29}}},
        {"ublox-zed-f9p-nmea.nmea", {{0, 1015}}},
    };
    const char* ggaFormat = "%s,%L,%c,%G,%c,%u8,%u8,%f64,%f64,%c,%f64,%c,%f64,%s";
    std::size_t fixes = 0;
    std::size_t refused = 0;
    std::size_t headings = 0;
    SentenceParser parser;
    FieldScanner scanner;
    for (const auto& golden : goldens) {
        std::map<int, std::size_t> counts;
        std::istringstream lines(testsupport::readFile(testsupport::captureFolder() / "nmea" / golden.file));
        for (std::string line; std::getline(lines, line);) {
            ++counts[parser.parse(line + "\n")];
            if (parser.identifier() == "GGA") {
                const bool placeholder = parser.field(2) == "8960.000000";
                EXPECT_EQ(scanner.scan(parser, ggaFormat), placeholder ? scanned::Mismatch : scanned::Converted)
                    << line;
                ++(placeholder ? refused : fixes);
            } else if (parser.identifier() == "HDT") {
                ASSERT_EQ(scanner.scan(parser, "%f64,T"), scanned::Converted) << line;
                EXPECT_TRUE(scanner.cell(1).isEmpty() || scanner.cell(1).asDouble() > 0.0) << line;
                ++headings;
            }
        }
        EXPECT_EQ(counts, golden.counts) << golden.file;
    }
    EXPECT_EQ(fixes, 356u);
    EXPECT_EQ(refused, 6u);
    EXPECT_GT(headings, 215u);
}

// The sum goes sixteen bytes a step: every length and offset, and the largest count of 0xFF
// bytes, give what one byte a step gives.
TEST(ByteSum16, AddsEveryByteWhateverTheLengthAndAlignment)
{
    std::vector<std::uint8_t> bytes(2100 + 65535, 0xFF);
    for (std::size_t i = 0; i < 2100; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (const std::size_t offset : {0, 3}) {
        for (std::size_t count = 0; count < 2100; count += (count < 40 ? 1 : 97)) {
            std::uint32_t expected = 0;
            for (std::size_t i = 0; i < count; ++i)
                expected += bytes[offset + i];
            ASSERT_EQ(byteSum16(bytes.data() + offset, static_cast<std::uint16_t>(count)), expected) << count;
        }
    }
    EXPECT_EQ(byteSum16(bytes.data() + 2100, 65535), 65535u * 0xFF);
}

} // namespace
} // namespace zeb::messages
