#include "app/workspace/Workspace.h"

#include "testsupport/RecordingWorkspaceHost.h"
#include "testsupport/ScratchHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace zeb::workspace {
namespace {

using testsupport::FakeDocument;
using testsupport::RecordingHost;
using Strings = std::vector<std::string>;

constexpr const char* kVersion = "$PKVR,RPC,UTTE,VERSION,2\r\n";

class WorkspaceFile : public ::testing::Test
{
protected:
    std::string path(const std::string& name) const { return m_scratch.path(name); }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Loads `bytes` as a workspace file into `host`.
    LoadResult load(RecordingHost& host, const std::string& bytes) const
    {
        return loadWorkspace(write("in.ute", bytes), host);
    }

private:
    testsupport::ScratchHome m_scratch;
};

// One line per document: what a test compares after loading.
Strings describe(const RecordingHost& host)
{
    Strings out;
    for (const auto& d : host.documentList) {
        std::ostringstream s;
        s << d->key << " finished " << d->finishCount << " \"" << d->common.title << "\" " << d->common.x << ','
          << d->common.y << ',' << d->common.width << ',' << d->common.height << ',' << d->common.showState
          << " stream " << d->streamId << " bars " << d->common.barState.records.size();
        out.push_back(s.str());
    }
    return out;
}

// --- failures ------------------------------------------------------------------------------

TEST_F(WorkspaceFile, FilesWithoutAVersionOfTwoOrMoreLoadNothingSilently)
{
    const std::string block = "$PKVR,RPC,DOCUMENT,BEGIN,\"IHTE\"\r\n$PKVR,RPC,DOCUMENT,END\r\n";
    struct Case
    {
        std::string first;
        LoadResult result;
    };
    const Case cases[] = {
        {"$PKVR,RPC,UTTE,VERSION,2\r\n", LoadResult::Loaded},
        {"$PKVR,RPC,UTTE,VERSION,2*1B\r\n", LoadResult::Loaded},
        {"$PKVR,RPC,UTTE,VERSION,1\r\n", LoadResult::BadVersion},
        {"\r\n$PKVR,RPC,UTTE,VERSION,2\r\n", LoadResult::BadVersion},
        {"\xEF\xBB\xBF$PKVR,RPC,UTTE,VERSION,2\r\n", LoadResult::BadVersion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        RecordingHost host;
        host.add("IHDB"); // an open document, closed by the load
        EXPECT_EQ(load(host, c.first + block), c.result);
        EXPECT_TRUE(host.errors.empty());
        const bool loaded = c.result == LoadResult::Loaded;
        EXPECT_EQ(host.calls, loaded ? (Strings{"close", "create IHTE"}) : Strings{"close"});
        EXPECT_EQ(host.documentList.size(), loaded ? 1u : 0u);
        EXPECT_EQ(host.loadedPath.empty(), !loaded);
    }
    RecordingHost host;
    EXPECT_EQ(load(host, "$PKVR,RPC,UTTE,VERSION,2"), LoadResult::BadVersion) << "a version line without its end";
}

TEST_F(WorkspaceFile, UnreadablePathIsReportedAfterTheWorkspaceWasClosed)
{
    RecordingHost host;
    host.add("IHTE");
    const std::string missing = path("missing.ute");
    EXPECT_EQ(loadWorkspace(missing, host), LoadResult::CannotOpen);
    EXPECT_EQ(host.errors, Strings{"Cannot open read file\n" + missing});
    EXPECT_EQ(host.calls, Strings{"close"});
    EXPECT_TRUE(host.documentList.empty());
    EXPECT_TRUE(host.loadedPath.empty());

    // A path that reads as a port address is not opened as one.
    RecordingHost serial;
    EXPECT_EQ(loadWorkspace("/dev/serial/com1,9600,8,1.0,N", serial), LoadResult::CannotOpen);
    EXPECT_EQ(serial.errors, Strings{"Cannot open read file\n/dev/serial/com1,9600,8,1.0,N"});
}

TEST_F(WorkspaceFile, UnwritablePathIsReportedAndNotRemembered)
{
    // A folder that is not there, and a file that opens but takes no line.
    for (const std::string& target : {path("no-such-folder/out.ute"), std::string("/dev/full")}) {
        SCOPED_TRACE(target);
        RecordingHost host;
        host.add("IHTE").finished = true;
        EXPECT_FALSE(saveWorkspace(target, host));
        ASSERT_EQ(host.errors.size(), 1u);
        EXPECT_NE(host.errors[0].find(target), std::string::npos);
        EXPECT_TRUE(host.savedPath.empty());
    }
}

// --- the line dispatcher -------------------------------------------------------------------

TEST_F(WorkspaceFile, DispatchesLinesToTheCurrentDocument)
{
    const std::string begin = "$PKVR,RPC,DOCUMENT,BEGIN,\"IHTE\"\r\n";
    const std::string beginTrace = "$PKVR,RPC,DOCUMENT,BEGIN,\"IHDB\"\r\n";
    const std::string end = "$PKVR,RPC,DOCUMENT,END\r\n";
    const std::string frame = "$PKVR,RPC,FRAME,\"T\",1,2,3,4,3\r\n";
    struct Case
    {
        const char* name;
        std::string body;
        Strings calls; // after "close"
        Strings documents;
    };
    const Case cases[] = {
        {"block",
         begin + frame + "$PKVR,RPC,IHTE,STREAM,7\r\n" + "$PKVR,RPC,IHTE,OTHER,1\r\n" + end,
         {"create IHTE"},
         {"IHTE finished 1 \"T\" 1,2,3,4,3 stream 7 bars 0"}},
        {"unknown key: its lines and END are ignored",
         "$PKVR,RPC,DOCUMENT,BEGIN,\"XXXX\"\r\n" + frame + end + "$PKVR,RPC,DOCUMENT,BEGIN,\"ihte\"\r\n" + end,
         {"create XXXX", "create ihte"},
         {}},
        {"CONNECT inside a block",
         begin + "$PKVR,RPC,UTTE,CONNECT,/dev/client/host/4000\r\n" + frame + end,
         {"create IHTE", "connect /dev/client/host/4000"},
         {"IHTE finished 1 \"T\" 1,2,3,4,3 stream 65 bars 0"}},
        {"BEGIN while a document is current: the earlier one never finishes",
         begin + frame + beginTrace + "$PKVR,RPC,FRAME,\"U\",5,6,7,8,1\r\n" + end,
         {"create IHTE", "create IHDB"},
         {"IHTE finished 0 \"T\" 1,2,3,4,3 stream 65 bars 0", "IHDB finished 1 \"U\" 5,6,7,8,1 stream 65 bars 0"}},
        {"blank line ends reading",
         begin + frame + end + "\r\n" + beginTrace + end,
         {"create IHTE"},
         {"IHTE finished 1 \"T\" 1,2,3,4,3 stream 65 bars 0"}},
        {"a BEGIN key without its closing quote is unknown",
         "$PKVR,RPC,DOCUMENT,BEGIN,\"IHTE\r\n" + frame + end,
         {"create IHTE\r\n"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        ASSERT_EQ(load(host, kVersion + c.body), LoadResult::Loaded);
        Strings calls{"close"};
        calls.insert(calls.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(host.calls, calls);
        EXPECT_EQ(describe(host), c.documents);
        EXPECT_TRUE(host.errors.empty());
    }
}

TEST_F(WorkspaceFile, SeedWorkspaceLoadsAndSavesAsWritten)
{
    const char* source = std::getenv("ZEB500_SOURCE_DIR");
    if (!source)
        GTEST_SKIP() << "ZEB500_SOURCE_DIR is not set";
    const std::string seed = std::string(source) + "/app/workspace/fuzz/corpus/full.ute";
    RecordingHost host;
    ASSERT_EQ(loadWorkspace(seed, host), LoadResult::Loaded);
    EXPECT_EQ(host.address, "/dev/serial/com1,9600,8,1.0,N");
    EXPECT_EQ(describe(host),
              (Strings{"IHTE finished 1 \"Terminal, COM1 \xE9t\xE9\" -12,40,812,433,3 stream 65 bars 2",
                       "IHDB finished 1 \"\" 0,0,400,200,2 stream 300 bars 0",
                       "IHTL finished 1 \"script.utl\" 10,20,300,200,1 stream 65 bars 0"}));
    EXPECT_EQ(host.documentList[0]->common.barState.records[0].contained,
              (std::vector<std::uint32_t>{0, 59393, 59394}));

    // Saved again, the file is the same except for the FRAME line that had three numbers; the
    // block of a window this version does not know comes back as it was.
    const std::string file = path("again.ute");
    ASSERT_TRUE(saveWorkspace(file, host));
    std::string expected = read(seed);
    const std::string shortFrame = "\"script.utl\",10,20,300\r\n";
    expected.replace(expected.find(shortFrame), shortFrame.size(),
                     "\"script.utl\",10,20,300,200,1\r\n$PKVR,RPC,BAR,COUNT,0\r\n$PKVR,RPC,BAR,SCREEN,1920,1080\r\n");
    EXPECT_EQ(read(file), expected);

    // Without documents or a connection, only the version line.
    RecordingHost empty;
    ASSERT_TRUE(saveWorkspace(file, empty));
    EXPECT_EQ(read(file), kVersion);
}

} // namespace
} // namespace zeb::workspace
