#include "app/framework/tests/FrameworkFixture.h"

#include <QPointer>

namespace zeb::framework::test {
namespace {

using DocumentTest = FrameworkTest;

TEST_F(DocumentTest, NewDocumentOpensWithDefaultsOnTheApplicationConnection)
{
    CIHCODocument* created = manager().createDocument("TEST");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->frame(), nullptr);
    ASSERT_TRUE(created->finishLoading());

    auto* document = dynamic_cast<TestDocument*>(created);
    ASSERT_NE(document, nullptr);
    TestFrame* frame = frameOf(document);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("No name"));
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 400, 200));
    EXPECT_TRUE(m_area->subWindowList().contains(frame));
    EXPECT_EQ(document->stream(), &m_connection);

    // A second finish changes nothing.
    EXPECT_TRUE(document->finishLoading());
    EXPECT_EQ(document->frame(), frame);
    EXPECT_EQ(m_area->subWindowList().size(), 1);
}

TEST_F(DocumentTest, StreamLineChoosesTheStreamAndOutOfRangeGivesNone)
{
    stream::IOSTStream other(7);
    struct Case
    {
        const char* line;
        bool handled;
        std::uint32_t id;
        stream::IOSTStream* stream;
    };
    const Case cases[] = {
        {"$PKVR,RPC,TEST,STREAM,7\r\n", true, 7, &other},
        {"$PKVR,RPC,TEST,STREAM,12\r\n", true, 12, nullptr}, // nothing registered there
        {"$PKVR,RPC,IHTE,STREAM,7\r\n", false, 65, &m_connection}, // another type's key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto* document = dynamic_cast<TestDocument*>(manager().createDocument("TEST"));
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->handleLine(c.line), c.handled);
        ASSERT_TRUE(document->finishLoading());
        EXPECT_EQ(document->streamId(), c.id);
        EXPECT_EQ(document->stream(), c.stream);
        document->close();
    }
}

TEST_F(DocumentTest, ClosingTheFrameDeletesTheDocument)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->finishLoading());
    QPointer<CIHCODocument> watched(document);
    QPointer<CIHCOChildFrame> frame(document->frame());

    ASSERT_TRUE(frame->close());
    EXPECT_EQ(manager().documentCount(), 0u);
    EXPECT_TRUE(m_template->documents().empty());
    flushDeletes();
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(frame.isNull());
    EXPECT_TRUE(m_area->subWindowList().isEmpty());

    // The template stays and makes documents again.
    EXPECT_EQ(manager().byKey("TEST"), m_template);
    CIHCODocument* next = manager().createDocument("TEST");
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->finishLoading());
}

} // namespace
} // namespace zeb::framework::test
