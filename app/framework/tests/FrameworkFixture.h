#pragma once

#include "app/framework/DocumentManager.h"
#include "stream/IOSTStream.h"
#include "testsupport/FrameworkTestDocument.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace zeb::framework::test {

using testsupport::TestDocument;
using testsupport::TestFrame;

// A main window with a document area, the test document type registered, and the application
// connection (stream 65).
class FrameworkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_window.resize(1000, 800);
        m_area = new QMdiArea;
        m_window.setCentralWidget(m_area);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        manager().setArea(m_area);
        m_template = &manager().addTemplate(testsupport::makeTestTemplate());
    }

    void TearDown() override
    {
        manager().closeAllDocuments();
        flushDeletes();
        manager().clearTemplates();
        manager().setArea(nullptr);
        flushDeletes();
    }

    static DocumentManager& manager() { return DocumentManager::instance(); }

    // Runs the deletions the framework left to the event loop.
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static TestFrame* frameOf(const CIHCODocument* document) { return dynamic_cast<TestFrame*>(document->frame()); }

    // A document read from workspace lines as the loader does it: created, fed, finished.
    TestDocument* load(const std::string& text)
    {
        auto* document = dynamic_cast<TestDocument*>(manager().createDocument("TEST"));
        if (document == nullptr) {
            return nullptr;
        }
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            document->handleLine(line + "\n");
        document->finishLoading();
        return document;
    }

    // What the document writes into a workspace file.
    std::string written(CIHCODocument& document)
    {
        const std::string path = m_dir.filePath(QStringLiteral("block-%1.txt").arg(++m_files)).toStdString();
        stream::IOSTStream out(stream::IOSTStream::kAnonymous);
        if (out.open(path, "wb") != stream::StreamStatus::Ok) {
            ADD_FAILURE() << "cannot write " << path;
            return {};
        }
        document.writeLines(out);
        out.close();
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    QTemporaryDir m_dir;
    int m_files = 0;
    QMainWindow m_window;
    QMdiArea* m_area = nullptr;
    CIHCOTemplate* m_template = nullptr;
    stream::IOSTStream m_connection{static_cast<int>(CIHCOStreamDocument::kApplicationConnection)};
};

} // namespace zeb::framework::test
