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
        {"$PKVR,RPC,FRAME,\"T\",10,20\r\n", false, {"No name", 0, 0, 400, 200, 1}},
        // Empty quotes give an empty title; that form needs four numbers.
        {"$PKVR,RPC,FRAME,\"\",1,2,3,4\r\n", true, {"", 1, 2, 3, 4, 1}},
        // Numbers only: the title stays.
        {"$PKVR,RPC,FRAME,5,6,7,8,3\r\n", true, {"No name", 5, 6, 7, 8, 3}},
        // A checksum after the last number is not examined.
        {"$PKVR,RPC,FRAME,\"T\",-1,-2,+3,4,3", true, {"T", -1, -2, 3, 4, 3}},
        {"$PKVR,RPC,FRAME,\"unterminated,1,2,3,4,3\r\n", false, {"No name", 0, 0, 400, 200, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DocumentCommon d;
        EXPECT_EQ(d.handleLine(c.line), c.handled);
        expectPlacement(d, c.after);
    }
}

TEST(DocumentCommon, WrittenTitlesAlwaysReadBack)
{
    struct Case
    {
        std::string title;
        std::string readBack;
    };
    const Case cases[] = {
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

} // namespace
} // namespace zeb::workspace
