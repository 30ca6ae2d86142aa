#include "autotest/core/Indentation.h"
#include "autotest/core/PathLine.h"
#include "autotest/core/ScriptColouring.h"

#include <gtest/gtest.h>

#include <string>

using namespace zeb::autotest;

namespace {

TEST(Indentation, EnterKeepsTheTabsAndAddsOneAfterAnOpeningBrace)
{
    EXPECT_EQ(Indentation::afterEnter(u"main {"), 1u);
    EXPECT_EQ(Indentation::afterEnter(u"\t\tx = 1;"), 2u);
    EXPECT_EQ(Indentation::afterEnter(u"\tif (x) {\r\n"), 2u);
    EXPECT_EQ(Indentation::afterEnter(u"\t{ x; }"), 1u);
    EXPECT_EQ(Indentation::afterEnter(u""), 0u);
    EXPECT_TRUE(Indentation::closeRemovesTab(u"\t\t}"));
    EXPECT_FALSE(Indentation::closeRemovesTab(u"  }"));
}

std::u16string spanned(std::u16string_view text, const ScriptColouring::Span& span)
{
    return std::u16string(text.substr(span.start, span.length));
}

TEST(ScriptColouring, ReservedWordsLiteralsAndCommentsAcrossLines)
{
    bool inComment = false;
    const std::u16string_view first = u"\twhile (x do: 0x1F) { s = \"a \\\" // b\"; c = 'x'; } /* open";
    const auto spans = ScriptColouring::line(first, inComment);
    ASSERT_EQ(spans.size(), 5u);
    EXPECT_EQ(spanned(first, spans[0]), u"while");
    EXPECT_EQ(spans[0].kind, ScriptColouring::Kind::Reserved);
    // "do:" is a selector part; the number and both quoted literals are literals.
    EXPECT_EQ(spanned(first, spans[1]), u"0x1F");
    EXPECT_EQ(spanned(first, spans[2]), u"\"a \\\" // b\"");
    EXPECT_EQ(spanned(first, spans[3]), u"'x'");
    EXPECT_EQ(spans[3].kind, ScriptColouring::Kind::Literal);
    EXPECT_EQ(spanned(first, spans[4]), u"/* open");
    EXPECT_TRUE(inComment);

    const std::u16string_view second = u"still */ return; // done";
    const auto more = ScriptColouring::line(second, inComment);
    EXPECT_FALSE(inComment);
    ASSERT_EQ(more.size(), 3u);
    EXPECT_EQ(spanned(second, more[0]), u"still */");
    EXPECT_EQ(spanned(second, more[1]), u"return");
    EXPECT_EQ(spanned(second, more[2]), u"// done");
    EXPECT_EQ(more[2].kind, ScriptColouring::Kind::Comment);
}

TEST(PathLine, ReadsBackWhatItWritesAndRefusesEmptyQuotes)
{
    EXPECT_EQ(PathLine::format("/t/a.utl"), "$PKVR,RPC,IHTL,PATH,\"/t/a.utl\"\r\n");
    EXPECT_EQ(PathLine::parse(PathLine::format("/home/j.doe/my test.utl")), "/home/j.doe/my test.utl");
    EXPECT_FALSE(PathLine::parse("$PKVR,RPC,IHTL,PATH,\"\"\r\n"));
    EXPECT_FALSE(PathLine::parse("$PKVR,RPC,IHWB,URL,\"/t/a.utl\"\r\n"));
}

} // namespace
