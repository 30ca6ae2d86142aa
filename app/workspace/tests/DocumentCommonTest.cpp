#include "app/workspace/DocumentCommon.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb::workspace {
namespace {

struct Placement
{
    std::string title;
    int x, y, width, height, showState;
};

void expectPlacement(const DocumentCommon& d, const Placement& p)
{
    EXPECT_EQ(d.title, p.title);
    EXPECT_EQ(d.x, p.x);
    EXPECT_EQ(d.y, p.y);
    EXPECT_EQ(d.width, p.width);
    EXPECT_EQ(d.height, p.height);
    EXPECT_EQ(d.showState, p.showState);
}

TEST(DocumentCommon, StartsWithTheDefaultsOfANewDocument)
{
    const DocumentCommon d;
    expectPlacement(d, {"No name", 0, 0, 400, 200, 1});
    EXPECT_TRUE(d.barState.records.empty());
    EXPECT_FALSE(d.barState.loaded);
}

TEST(DocumentCommon, ReadsFrameLines)
{
    struct Case
    {
        const char* line;
        bool handled;
        Placement after; // from a new document
    };
    const Case cases[] = {
        {"$PKVR,RPC,FRAME,\"Terminal 1\",10,20,300,150,3\r\n", true, {"Terminal 1", 10, 20, 300, 150, 3}},
        // Title, x, y and width are enough; the numbers not given keep their values.
        {"$PKVR,RPC,FRAME,\"T\",10,20,300\r\n", true, {"T", 10, 20, 300, 200, 1}},
        {"$PKVR,RPC,FRAME,\"T\",10,20,300,99\r\n", true, {"T", 10, 20, 300, 99, 1}},
        {"$PKVR,RPC,FRAME,\"T\",10,20\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        {"$PKVR,RPC,FRAME,\"a, b \xE9\xFF\",1,2,3,4,2\r\n", true, {"a, b \xE9\xFF", 1, 2, 3, 4, 2}},
        // Empty quotes give an empty title; that form needs four numbers.
        {"$PKVR,RPC,FRAME,\"\",1,2,3,4,2\r\n", true, {"", 1, 2, 3, 4, 2}},
        {"$PKVR,RPC,FRAME,\"\",1,2,3,4\r\n", true, {"", 1, 2, 3, 4, 1}},
        {"$PKVR,RPC,FRAME,\"\",1,2,3\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        // Numbers only: the title stays.
        {"$PKVR,RPC,FRAME,5,6,7,8,3\r\n", true, {"No name", 5, 6, 7, 8, 3}},
        {"$PKVR,RPC,FRAME,5,6,7,8\n", true, {"No name", 5, 6, 7, 8, 1}},
        {"$PKVR,RPC,FRAME,5,6,7\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        // A checksum after the last number is not examined.
        {"$PKVR,RPC,FRAME,\"T\",1,2,3,4,3*1F\r\n", true, {"T", 1, 2, 3, 4, 3}},
        {"$PKVR,RPC,FRAME,\"T\",-1,-2,+3,4,3", true, {"T", -1, -2, 3, 4, 3}},
        {"$PKVR,RPC,FRAME,\"unterminated,1,2,3,4,3\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        {"$PKVR,RPC,FRAMES,1,2,3,4,3\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        {"$PKVR,RPC,IHTE,STREAM,3\r\n", false, {"No name", 0, 0, 400, 200, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DocumentCommon d;
        EXPECT_EQ(d.handleLine(c.line), c.handled);
        expectPlacement(d, c.after);
    }
}

TEST(DocumentCommon, PassesBarLinesToTheBarState)
{
    DocumentCommon d;
    EXPECT_TRUE(d.handleLine("$PKVR,RPC,BAR,COUNT,1\r\n"));
    EXPECT_TRUE(d.handleLine("$PKVR,RPC,BAR,1,1,0,1,0,0,0,0,1,0,0,0,0,0,0,0,0\r\n"));
    EXPECT_FALSE(d.handleLine("$PKVR,RPC,BAR,1,1,0\r\n"));
    EXPECT_EQ(d.barState.records.size(), 1u);
    EXPECT_TRUE(d.barState.loaded);
}

TEST(DocumentCommon, WritesTheFrameLineThenTheBarLines)
{
    DocumentCommon d;
    d.title = "Terminal, COM1";
    d.x = -8;
    d.y = 16;
    d.width = 640;
    d.height = 480;
    d.showState = DocumentCommon::kShowMaximized;
    d.barState.records.push_back(BarRecord{});
    EXPECT_EQ(d.lines(1280, 1024),
              "$PKVR,RPC,FRAME,\"Terminal, COM1\",-8,16,640,480,3\r\n"
              "$PKVR,RPC,BAR,COUNT,1\r\n"
              "$PKVR,RPC,BAR,SCREEN,1280,1024\r\n"
              "$PKVR,RPC,BAR,0,1,0,1,0,0,0,0,1,0,0,0,0,0,0,0,0\r\n");
}

TEST(DocumentCommon, WrittenTitlesAlwaysReadBack)
{
    struct Case
    {
        std::string title;
        std::string readBack;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b \xC3\xA9\x80\xFF", "a,b \xC3\xA9\x80\xFF"},
        // A quote would end the field, a line feed or tab would break the line.
        {"say \"hi\"", "say 'hi'"},
        {"two\nlines\tand tab", "two lines and tab"},
        {std::string("nul\0byte", 8), "nul byte"},
        {"keeps\rreturn", "keeps\rreturn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        DocumentCommon written;
        written.title = c.title;
        written.x = 3;
        written.height = 9;
        const std::string text = written.lines(1, 1);
        const std::string frameLine = text.substr(0, text.find("\r\n$") + 2);
        DocumentCommon read;
        ASSERT_TRUE(read.handleLine(frameLine));
        EXPECT_EQ(read.title, c.readBack);
        EXPECT_EQ(read.x, 3);
        EXPECT_EQ(read.height, 9);
    }
}

TEST(StreamLine, ReadsOnlyTheLineOfItsOwnKey)
{
    struct Case
    {
        const char* line;
        const char* key;
        std::optional<std::uint32_t> id;
    };
    const Case cases[] = {
        {"$PKVR,RPC,IHTE,STREAM,65\r\n", "IHTE", 65u},          {"$PKVR,RPC,IHDB,STREAM,300\n", "IHDB", 300u},
        {"$PKVR,RPC,IHDB,STREAM,7*2C\r\n", "IHDB", 7u},         {"$PKVR,RPC,IHDB,STREAM,7", "IHDB", 7u},
        {"$PKVR,RPC,IHTE,STREAM,65\r\n", "IHDB", std::nullopt}, {"$PKVR,RPC,IHTE,STREAM,\r\n", "IHTE", std::nullopt},
        {"$PKVR,RPC,ihte,STREAM,1\r\n", "IHTE", std::nullopt},  {"$PKVR,RPC,A%uB,STREAM,1\r\n", "A%uB", 1u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(readStreamLine(c.line, c.key), c.id);
    }
    EXPECT_EQ(streamLine("IHGE", 65), "$PKVR,RPC,IHGE,STREAM,65\r\n");
    EXPECT_EQ(readStreamLine(streamLine("IHHD", 4294967295u), "IHHD"), 4294967295u);
}

} // namespace
} // namespace zeb::workspace
