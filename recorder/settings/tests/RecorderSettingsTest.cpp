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
    RecorderSettings settings = RecorderSettings::defaults("/home/u");
    settings.clearLists();
    settings.startText = "every day at 10:00";
    settings.baseName = "run";
    settings.indexation = 3;
    settings.format = 1;
    settings.granularity = 2;
    settings.granularityUnit = 1;
    settings.outputs = {1, 0, 1, 0};
    settings.ports = {{"rx", "/dev/serial/com2,115200,8,1.0,N", 7}, {"doc", "/dev/client/h/1000", 65, false}};
    settings.tracks = {"A", "B"};
    settings.filters = {{true, 0, 2, 1, 1}, {false, 0, 12, 0, 0}};
    return settings;
}

TEST(RecorderSettings, WritesTheLinesInTheirOrderAndReadsThemBack)
{
    const RecorderSettings settings = sample();
    const std::string expected = "START,every day at 10:00|DURATION,Infinite|DIRECTORY,/home/u/record|BASENAME,run|"
                                 "EXTENSION,dat|INDEXATION,3|FORMAT,1|GRANULARITY,2|GRANULARITYUNIT,1|OUTPUT,A,1|"
                                 "OUTPUT,E,0|OUTPUT,S,1|OUTPUT,U,0|PORT,rx,/dev/serial/com2,115200,8,1.0,N,7|TRACK,A|"
                                 "TRACK,B|FILTER,rx,2,1,B,1|FILTER,rx,12,0,A,0|";
    std::string written = settings.lines();
    std::string compact;
    for (std::size_t at = 0; at < written.size();) {
        const std::size_t end = written.find("\r\n", at);
        ASSERT_EQ(written.compare(at, kPrefix.size(), kPrefix), 0) << written;
        compact += written.substr(at + kPrefix.size(), end - at - kPrefix.size()) + "|";
        at = end + 2;
    }
    EXPECT_EQ(compact, expected);

    RecorderSettings read = RecorderSettings::defaults("/elsewhere");
    read.clearLists();
    read.handleText(written);
    RecorderSettings withoutDocumentPort = settings;
    withoutDocumentPort.ports.pop_back();
    EXPECT_EQ(read, withoutDocumentPort);
}

struct LineCase
{
    const char* line;
    bool taken;
    const char* field; // what the line must leave in the settings, as "name=value"
};

std::string field(const RecorderSettings& s, const std::string& name)
{
    if (name == "dir")
        return s.directory + "|" + s.baseName;
    if (name == "ext")
        return s.extension + "|" + std::to_string(s.indexation);
    if (name == "gran")
        return std::to_string(s.granularity) + "|" + std::to_string(s.granularityUnit);
    if (name == "port")
        return s.ports.empty()
            ? ""
            : s.ports.back().name + "|" + s.ports.back().address + "|" + std::to_string(s.ports.back().identifier);
    if (name == "filters")
        return std::to_string(s.filters.size()) + "|" + std::to_string(s.tracks.size());
    return s.startText;
}

// Each line is read into settings that hold ports "p" (identifier 1) and "q" (2) and tracks "A" and "B".
TEST(RecorderSettings, ReadsEachLineFormAndRefusesHostileOnes)
{
    const std::vector<LineCase> cases = {
        {"FILENAME,C:\\rec\\run1\r\n", true, "dir=C:\\rec|run1"},
        {"FILENAME,/data/rec/run1", true, "dir=/data/rec|run1"},
        {"FILENAME,run1", false, "dir=/h/record|data"},
        {"FILENAME,/run1", false, "dir=/h/record|data"},
        {"BASENAME,../up", false, "dir=/h/record|data"},
        {"BASENAME,a\\b", false, "dir=/h/record|data"},
        {"BASENAME,/dev/client/h/1000", true, "dir=/h/record|/dev/client/h/1000"},
        {"BASENAME,/dev/../etc/x", false, "dir=/h/record|data"},
        {"FILENAMECONVENTION,3", true, "ext=dat|3"},
        {"EXTENSION,1\r\n", true, "ext=dat|1"},
        {"EXTENSION,ubx", true, "ext=ubx|0"},
        {"EXTENSION,1x", true, "ext=1x|0"},
        {"EXTENSION,a/b", false, "ext=dat|0"},
        {"INDEXATION,-1", false, "ext=dat|0"},
        {"INDEXATION,4294967296", false, "ext=dat|0"},
        {"GRANULARITY,4294967295", true, "gran=4294967295|0"},
        {"GRANULARITY,0", false, "gran=10|0"},
        {"GRANULARITY,5 ", false, "gran=10|0"},
        {"GRANULARITYUNIT,2", true, "gran=10|2"},
        {"GRANULARITYUNIT,3", false, "gran=10|0"},
        {"PORT,r,/dev/serial/com3,9600,8,1.0,N,9", true, "port=r|/dev/serial/com3,9600,8,1.0,N|9"},
        {"PORT,p,/dev/client/h/1,3", false, "port=q|/dev/client/h/2|2"},
        {"PORT,r,/dev/client/h/1,2", false, "port=q|/dev/client/h/2|2"},
        {"PORT,r,9", false, "port=q|/dev/client/h/2|2"},
        {"FILTER,q,7,3,B,1", true, "filters=1|2"},
        {"FILTER,q,7,3,C,1", false, "filters=0|2"},
        {"FILTER,q,13,0,A,1", false, "filters=0|2"},
        {"FILTER,q,0,4,A,1", false, "filters=0|2"},
        {"FILTER,q,0,0,A,1,x", false, "filters=0|2"},
        {"TRACK,A", false, "filters=0|2"},
        {"TRACK,C,D", false, "filters=0|2"},
        {"START,at 10:00\r\n", true, "start=at 10:00"},
        {"START,", false, "start=Immediately"},
        {"STARTX,now", false, "start=Immediately"},
    };
    for (const auto& [line, taken, expected] : cases) {
        RecorderSettings settings = RecorderSettings::defaults("/h");
        settings.clearLists();
        settings.handleText("$PKVR,RPC,IHDM,PORT,p,/dev/client/h/1,1\r\n$PKVR,RPC,IHDM,PORT,q,/dev/client/h/2,2\r\n"
                            "$PKVR,RPC,IHDM,TRACK,A\r\n$PKVR,RPC,IHDM,TRACK,B\r\n");
        EXPECT_EQ(settings.handleLine(kPrefix + line), taken) << line;
        const std::string want = expected;
        const std::size_t equals = want.find('=');
        EXPECT_EQ(field(settings, want.substr(0, equals)), want.substr(equals + 1)) << line;
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
    RecorderSettings settings;
    EXPECT_EQ(settings.sizeLimit(), 10U * 1024);
    settings.granularity = 1;
    settings.granularityUnit = 1;
    EXPECT_EQ(settings.sizeLimit(), 1048576U);
    settings.granularity = UINT32_MAX;
    settings.granularityUnit = 2;
    EXPECT_EQ(settings.sizeLimit(), std::uint64_t{UINT32_MAX} << 30);
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
