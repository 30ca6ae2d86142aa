#include "recorder/settings/RecorderSettings.h"

#include "recorder/settings/UdmFile.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::recorder {
namespace {

const std::string kPrefix = "$PKVR,RPC,IHDM,";

RecorderSettings sample()
{
    return {.startText = "every day at 10:00",
            .directory = "/home/u/record",
            .baseName = "run",
            .indexation = 3,
            .granularity = 2,
            .granularityUnit = 1,
            .format = 1,
            .outputs = {1, 0, 1, 0},
            .ports = {{"rx", "/dev/serial/com2,115200,8,1.0,N", 7}, {"doc", "/dev/client/h/1000", 65, false}},
            .tracks = {"A", "B"},
            .filters = {{true, 0, 2, 1, 1}, {false, 0, 12, 0, 0}}};
}

TEST(RecorderSettings, WritesTheLinesInTheirOrderAndReadsThemBack)
{
    std::string expected;
    for (const char* line :
         {"START,every day at 10:00", "DURATION,Infinite", "DIRECTORY,/home/u/record", "BASENAME,run", "EXTENSION,dat",
          "INDEXATION,3", "FORMAT,1", "GRANULARITY,2", "GRANULARITYUNIT,1", "OUTPUT,A,1", "OUTPUT,E,0", "OUTPUT,S,1",
          "OUTPUT,U,0", "PORT,rx,/dev/serial/com2,115200,8,1.0,N,7", "TRACK,A", "TRACK,B", "FILTER,rx,2,1,B,1",
          "FILTER,rx,12,0,A,0"}) {
        expected += kPrefix + line + "\r\n";
    }
    const RecorderSettings settings = sample();
    EXPECT_EQ(settings.lines(), expected);

    RecorderSettings read = RecorderSettings::defaults("/elsewhere");
    read.clearLists();
    read.handleText(expected);
    RecorderSettings withoutDocumentPort = settings;
    withoutDocumentPort.ports.pop_back();
    EXPECT_EQ(read, withoutDocumentPort);
}

// Each line is read into settings holding ports "p" (identifier 1) and "q" (2) and tracks "A" and "B". A
// line taken must leave `written` among the lines written; a refused one (nullptr) changes nothing.
TEST(RecorderSettings, ReadsEachLineFormAndRefusesHostileOnes)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"FILENAME,C:\\rec\\run1\r\n", "DIRECTORY,C:\\rec\r\n$PKVR,RPC,IHDM,BASENAME,run1\r"},
        {"FILENAME,/data/rec/run1", "DIRECTORY,/data/rec\r\n$PKVR,RPC,IHDM,BASENAME,run1\r"},
        {"FILENAME,run1", nullptr},
        {"FILENAME,/run1", nullptr},
        {"BASENAME,../up", nullptr},
        {"BASENAME,/dev/client/h/1000", "BASENAME,/dev/client/h/1000\r"},
        {"BASENAME,/dev/../etc/x", nullptr},
        {"FILENAMECONVENTION,3", "INDEXATION,3\r"},
        {"EXTENSION,1\r\n", "EXTENSION,dat\r\n$PKVR,RPC,IHDM,INDEXATION,1\r"},
        {"EXTENSION,1x", "EXTENSION,1x\r\n$PKVR,RPC,IHDM,INDEXATION,0\r"},
        {"EXTENSION,a/b", nullptr},
        {"INDEXATION,-1", nullptr},
        {"INDEXATION,4294967296", nullptr},
        {"GRANULARITY,0", nullptr},
        {"GRANULARITY,5 ", nullptr},
        {"GRANULARITYUNIT,2", "GRANULARITYUNIT,2\r"},
        {"GRANULARITYUNIT,3", nullptr},
        {"OUTPUT,U,4", "OUTPUT,U,4\r"},
        {"OUTPUT,R,1", nullptr},
        {"PORT,r,/dev/serial/com3,9600,8,1.0,N,9", "PORT,r,/dev/serial/com3,9600,8,1.0,N,9\r"},
        {"PORT,p,/dev/client/h/1,3", nullptr},
        {"PORT,r,/dev/client/h/1,2", nullptr},
        {"FILTER,q,7,3,B,1", "FILTER,q,7,3,B,1\r"},
        {"FILTER,q,7,3,C,1", nullptr},
        {"FILTER,q,13,0,A,1", nullptr},
        {"FILTER,q,0,4,A,1", nullptr},
        {"FILTER,q,0,0,A,1,x", nullptr},
        {"TRACK,A", nullptr},
        {"TRACK,C,D", nullptr},
        {"START,at 10:00\r\n", "START,at 10:00\r"},
        {"STARTX,now", nullptr},
    };
    RecorderSettings before = RecorderSettings::defaults("/h");
    before.clearLists();
    before.handleText(kPrefix + "PORT,p,/dev/client/h/1,1\n" + kPrefix + "PORT,q,/dev/client/h/2,2\n" + kPrefix
                      + "TRACK,A\n" + kPrefix + "TRACK,B\n");
    for (const auto& [line, written] : cases) {
        RecorderSettings settings = before;
        EXPECT_EQ(settings.handleLine(kPrefix + line), written != nullptr) << line;
        if (written == nullptr) {
            EXPECT_EQ(settings, before) << line;
        } else {
            EXPECT_NE(settings.lines().find(written), std::string::npos) << line << "\n" << settings.lines();
        }
    }
}

TEST(RecorderSettings, BoundsWhatAFileCanAdd)
{
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += kPrefix + "PORT,p" + std::to_string(i) + ",/dev/client/h/1000," + std::to_string(i) + "\r\n";
        text += kPrefix + "TRACK,t" + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < 300; ++i) {
        text += kPrefix + "FILTER,p0,0,0,t0,1\r\n";
    }
    // Cut into pieces of 1023 bytes this line would end in a BASENAME line of its own.
    text += kPrefix + "START," + std::string(1023 - kPrefix.size() - 6, 'x') + kPrefix + "BASENAME,evil\r\n";
    RecorderSettings settings = RecorderSettings::defaults("/h");
    settings.clearLists();
    settings.handleText(text);
    EXPECT_EQ(settings.ports.size(), RecorderSettings::kMaxPorts);
    EXPECT_EQ(settings.tracks.size(), RecorderSettings::kMaxTracks);
    EXPECT_EQ(settings.filters.size(), RecorderSettings::kMaxFilters);
    EXPECT_EQ(settings.baseName, "data");
    EXPECT_EQ(settings.startText, "Immediately");
}

TEST(RecorderSettings, SizeLimitIsGranularityInKilobytesMegabytesOrGigabytes)
{
    EXPECT_EQ(RecorderSettings().sizeLimit(), 10U * 1024);
    EXPECT_EQ((RecorderSettings{.granularity = 1, .granularityUnit = 1}.sizeLimit()), 1048576U);
    EXPECT_EQ((RecorderSettings{.granularity = UINT32_MAX, .granularityUnit = 2}.sizeLimit()),
              std::uint64_t{UINT32_MAX} << 30);
}

// The saved port "rx" (7) keeps its filter; one on the document's stream (65) goes with its filter. The document
// port is never saved, its filters are, unnamed, and read back onto the document port, whatever its name.
TEST(RecorderSettings, DocumentPortComesFirstAndIsNeverSaved)
{
    RecorderSettings settings = sample();
    settings.ports.back() = {"dup", "/dev/client/h/1", 65};
    settings.filters.push_back({true, 1, 3, 1, 1});
    settings.bindDocumentPort(65);
    settings.bindDocumentPort(66);
    const RecorderFilter everything{true, 0, 0, 1, 0};
    EXPECT_EQ(settings.ports, (std::vector<RecorderPort>{{"A", "", 66, false}, sample().ports.front()}));
    EXPECT_EQ(settings.filters, (std::vector<RecorderFilter>{everything, {true, 1, 2, 1, 1}, {false, 1, 12, 0, 0}}));
    EXPECT_NE(settings.lines().find(kPrefix + "TRACK,B\r\n" + kPrefix + "FILTER,,0,1,A,1\r\n"), std::string::npos)
        << settings.lines();

    settings.ports.front().name = "rx2";
    settings.filters.front().selection = 2;
    RecorderSettings read;
    read.clearLists();
    read.handleText(settings.lines());
    read.bindDocumentPort(66);
    settings.ports.front().name = "A";
    EXPECT_EQ(read.ports, settings.ports);
    EXPECT_EQ(read.filters, settings.filters);
}

// Filters refer to ports and tracks by index: removing one drops its filters and renumbers the rest.
TEST(RecorderSettings, RemovingAPortOrTrackTakesItsFiltersAndRenumbersTheOthers)
{
    RecorderSettings settings = sample();
    settings.filters = {{true, 0, 1, 1, 0}, {true, 1, 2, 1, 1}, {true, 0, 3, 1, 1}};
    settings.removeTrack(0);
    EXPECT_EQ(settings.tracks, std::vector<std::string>{"B"});
    EXPECT_EQ(settings.filters, (std::vector<RecorderFilter>{{true, 1, 2, 1, 0}, {true, 0, 3, 1, 0}}));
    settings.removePort(0);
    EXPECT_EQ(settings.filters, (std::vector<RecorderFilter>{{true, 0, 2, 1, 0}}));
    settings.removeTrack(5);
    EXPECT_EQ(settings.tracks.size(), 1u);
}

TEST(UdmFile, SavesAndLoadsOnlyWholeLocalFiles)
{
    testsupport::TempFolder folder;
    const std::string path = (folder / "default.udm").string();
    ASSERT_EQ(UdmFile::save(path, sample()), "");
    RecorderSettings loaded = RecorderSettings::defaults("/other");
    ASSERT_EQ(UdmFile::load(path, loaded), "");
    EXPECT_EQ(loaded.lines(), sample().lines());
    EXPECT_EQ(folder.read("default.udm"), sample().lines());

    folder.write("big.udm", std::string(UdmFile::kMaxFileSize + 1, '\n'));
    EXPECT_NE(UdmFile::load((folder / "big.udm").string(), loaded), "");
    EXPECT_NE(UdmFile::load("/dev/zero", loaded), "");
    EXPECT_NE(UdmFile::load((folder / "missing.udm").string(), loaded), "");
    EXPECT_NE(UdmFile::save("/dev/client/h/1000//x.udm", loaded), "");
    EXPECT_NE(UdmFile::save((folder / "no/such/dir.udm").string(), loaded), "");
    EXPECT_EQ(loaded.tracks.size(), 2U);
}

} // namespace
} // namespace zeb::recorder
