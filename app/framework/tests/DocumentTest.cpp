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
    EXPECT_EQ(created->documentTemplate(), m_template);
    ASSERT_TRUE(created->finishLoading());

    auto* document = dynamic_cast<TestDocument*>(created);
    ASSERT_NE(document, nullptr);
    TestFrame* frame = frameOf(document);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->document(), document);
    EXPECT_EQ(document->title(), "No name");
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("No name"));
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 400, 200));
    EXPECT_TRUE(m_area->subWindowList().contains(frame));
    EXPECT_EQ(document->streamId(), 65u);
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

TEST_F(DocumentTest, FrameLinePlacesTitlesAndShowsTheFrame)
{
    struct Case
    {
        const char* line;
        QRect normal;
        int showState;
        QString title;
    };
    const Case cases[] = {
        {"$PKVR,RPC,FRAME,\"Rover\",30,40,500,300,1\r\n", QRect(30, 40, 500, 300), 1, "Rover"},
        {"$PKVR,RPC,FRAME,\"Base, north\",60,20,450,250,3\r\n", QRect(60, 20, 450, 250), 3, "Base, north"},
        {"$PKVR,RPC,FRAME,15,25,310,205\r\n", QRect(15, 25, 310, 205), 1, "No name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TestDocument* document = load(c.line);
        ASSERT_NE(document, nullptr);
        TestFrame* frame = frameOf(document);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->windowTitle(), c.title);
        EXPECT_EQ(frame->normalPlacement(), c.normal);
        EXPECT_EQ(frame->showState(), c.showState);
        EXPECT_EQ(frame->isMaximized(), c.showState == 3);
        EXPECT_EQ(frame->isMinimized(), c.showState == 2);
        // The block written back carries the same placement, also while minimised or maximised.
        const std::string text = written(*document);
        const std::string expected = "," + std::to_string(c.normal.x()) + "," + std::to_string(c.normal.y()) + ","
            + std::to_string(c.normal.width()) + "," + std::to_string(c.normal.height()) + ","
            + std::to_string(c.showState) + "\r\n";
        EXPECT_NE(splitLines(text).front().find(expected), std::string::npos) << text;
        // Restoring brings back the normal placement.
        frame->showNormal();
        EXPECT_EQ(frame->geometry(), c.normal);
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
