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
    EXPECT_EQ(frame->normalPlacement(), QRect(0, 0, 400, 200));
    EXPECT_EQ(frame->showState(), 1);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(m_area->subWindowList().contains(frame));
    EXPECT_EQ(document->streamId(), 65u);
    EXPECT_EQ(document->stream(), &m_connection);
    EXPECT_FALSE(document->common().barState.loaded);

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
        {"$PKVR,RPC,TEST,STREAM,300\r\n", true, 300, nullptr},
        {"$PKVR,RPC,TEST,STREAM,256\r\n", true, 256, nullptr},
        {"$PKVR,RPC,TEST,STREAM,12\r\n", true, 12, nullptr}, // nothing registered there
        {"$PKVR,RPC,IHTE,STREAM,7\r\n", false, 65, &m_connection}, // another type's key
        {"$PKVR,RPC,test,STREAM,7\r\n", false, 65, &m_connection},
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
        {"$PKVR,RPC,FRAME,\"Spare\",70,80,300,220,2\r\n", QRect(70, 80, 300, 220), 2, "Spare"},
        {"$PKVR,RPC,FRAME,\"\",5,6,350,210,1\r\n", QRect(5, 6, 350, 210), 1, ""},
        {"$PKVR,RPC,FRAME,\"Short\",10,20,300\r\n", QRect(10, 20, 300, 200), 1, "Short"},
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

TEST_F(DocumentTest, SetTitleRenamesTheFrame)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_NE(document, nullptr);
    document->setTitle("Before");
    ASSERT_TRUE(document->finishLoading());
    EXPECT_EQ(document->frame()->windowTitle(), QStringLiteral("Before"));
    document->setTitle("After");
    EXPECT_EQ(document->frame()->windowTitle(), QStringLiteral("After"));
    EXPECT_EQ(document->common().title, "After");
}

TEST_F(DocumentTest, WrittenBlockLoadsBackToTheSameBlock)
{
    CIHCODocument* original = manager().createDocument("TEST");
    ASSERT_NE(original, nullptr);
    ASSERT_TRUE(original->handleLine("$PKVR,RPC,TEST,STREAM,12\r\n"));
    original->setTitle("Rover \xe9t\xe9");
    ASSERT_TRUE(original->finishLoading());
    original->frame()->setGeometry(25, 35, 520, 330);
    original->frame()->showMaximized();

    const std::string first = written(*original);
    const std::vector<std::string> lines = splitLines(first);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "$PKVR,RPC,FRAME,\"Rover \xe9t\xe9\",25,35,520,330,3\r\n");
    EXPECT_EQ(lines[1].substr(0, 20), "$PKVR,RPC,BAR,COUNT,");
    EXPECT_EQ(lines.back(), "$PKVR,RPC,TEST,STREAM,12\r\n");

    TestDocument* copy = load(first);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->common().barState.loaded);
    EXPECT_EQ(written(*copy), first);
}

TEST_F(DocumentTest, DocumentWithoutFrameWritesOnlyItsOwnLines)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_NE(document, nullptr);
    document->handleLine("$PKVR,RPC,FRAME,\"Pending\",1,2,300,300,1\r\n");
    EXPECT_EQ(written(*document), "$PKVR,RPC,TEST,STREAM,65\r\n");
    EXPECT_EQ(manager().documentCount(), 1u);
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
    EXPECT_EQ(m_template->firstDocument(), nullptr);
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

TEST_F(DocumentTest, FrameDeletedDirectlyStillReleasesTheDocument)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_TRUE(document->finishLoading());
    QPointer<CIHCODocument> watched(document);
    delete document->frame();
    EXPECT_EQ(watched.data(), document);
    EXPECT_EQ(document->frame(), nullptr);
    EXPECT_EQ(manager().documentCount(), 0u);
    flushDeletes();
    EXPECT_TRUE(watched.isNull());
}

TEST_F(DocumentTest, CloseAllDocumentsClosesShownAndUnfinishedDocuments)
{
    std::vector<QPointer<CIHCODocument>> documents;
    for (int i = 0; i < 3; ++i) {
        CIHCODocument* document = manager().createDocument("TEST");
        ASSERT_NE(document, nullptr);
        if (i < 2) {
            ASSERT_TRUE(document->finishLoading());
        }
        documents.emplace_back(document);
    }
    EXPECT_EQ(manager().documentCount(), 3u);
    EXPECT_EQ(m_template->documents().front(), documents[0].data());

    manager().closeAllDocuments();
    EXPECT_EQ(manager().documentCount(), 0u);
    flushDeletes();
    for (const auto& document : documents) {
        EXPECT_TRUE(document.isNull());
    }
    EXPECT_TRUE(m_area->subWindowList().isEmpty());
}

TEST_F(DocumentTest, RemovingTheTemplatesTakesDocumentsAndFrames)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_TRUE(document->finishLoading());
    QPointer<CIHCOChildFrame> frame(document->frame());
    manager().clearTemplates();
    EXPECT_TRUE(frame.isNull());
    EXPECT_TRUE(m_area->subWindowList().isEmpty());
    flushDeletes();
}

TEST_F(DocumentTest, TemplatesAreFoundByExactKeyAndByCommand)
{
    EXPECT_EQ(manager().byKey("TEST"), m_template);
    EXPECT_EQ(manager().byKey("test"), nullptr);
    EXPECT_EQ(manager().byKey("TES"), nullptr);
    EXPECT_EQ(manager().byKey(""), nullptr);
    ASSERT_NE(manager().byKey("UTTE/CONNECT"), nullptr);
    EXPECT_FALSE(manager().byKey("UTTE/CONNECT")->makesDocuments());
    EXPECT_EQ(manager().byCommand(kTestCommand), m_template);
    EXPECT_EQ(manager().byCommand(kConnectCommand), manager().byKey("UTTE/CONNECT"));
    EXPECT_EQ(manager().byCommand(12345), nullptr);

    EXPECT_EQ(manager().createDocument("UTTE/CONNECT"), nullptr);
    EXPECT_EQ(manager().createDocument("NONE"), nullptr);
    EXPECT_EQ(manager().documentCount(), 0u);
}

TEST_F(DocumentTest, ConnectionTestDefaultsToReady)
{
    EXPECT_TRUE(m_template->connectionReady());
    bool open = false;
    m_template->setConnectionTest([&open] { return open; });
    EXPECT_TRUE(m_template->hasConnectionTest());
    EXPECT_FALSE(m_template->connectionReady());
    open = true;
    EXPECT_TRUE(m_template->connectionReady());
}

TEST_F(DocumentTest, DocumentWithoutTemplateCannotFinish)
{
    TestDocument document;
    EXPECT_FALSE(document.finishLoading());
    EXPECT_EQ(document.frame(), nullptr);
    EXPECT_EQ(document.stream(), nullptr);
}

} // namespace
} // namespace zeb::framework::test
