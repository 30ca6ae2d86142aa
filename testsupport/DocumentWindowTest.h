#pragma once

#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "app/framework/UserMessages.h"
#include "app/workspace/WorkspaceDocument.h"
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace zeb::testsupport {

// A fixture for a document type's windows as the shell shows them: an MDI area in a shown main
// window (offscreen), settings in memory, and the messages the user would see collected in
// `messages`. A test registers its document type, then adds its template with addTemplate().
// Documents are closed, and their deferred deletes run, before anything the test owns goes:
// a fixture that owns streams calls closeDocuments() before releasing them.
class DocumentWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Settings::install(std::make_shared<platform::MemorySettings>());
        framework::UserMessages::setSink([this](const QString& text) { messages.push_back(text.toStdString()); });
        window.setCentralWidget(area = new QMdiArea);
        window.resize(1000, 700);
        window.show();
        framework::DocumentManager::instance().setArea(area);
    }

    void TearDown() override
    {
        closeDocuments();
        framework::UserMessages::setSink({});
    }

    void addTemplate(const char* key, const QString& name)
    {
        const auto* factories = framework::DocumentTypeCatalog::factories(key);
        ASSERT_NE(factories, nullptr) << key << " is not registered";
        framework::DocumentManager::instance().addTemplate(
            std::make_unique<framework::CIHCOTemplate>(key, name, factories->document, factories->frame));
    }

    // A new document of the template `key`, loaded from `workspaceLines` as a workspace would.
    template <typename Document>
    Document& openDocument(const char* key, const std::vector<std::string>& workspaceLines = {})
    {
        auto* document = static_cast<Document*>(framework::DocumentManager::instance().createDocument(key));
        for (const std::string& line : workspaceLines)
            document->handleLine(line);
        document->finishLoading();
        return *document;
    }

    // The lines `document` writes into a workspace, read back from the file `path`, each with its "\n".
    static std::vector<std::string> writtenLines(workspace::WorkspaceDocument& document,
                                                 const std::filesystem::path& path)
    {
        {
            stream::IOSTStream file(stream::IOSTStream::kAnonymous);
            EXPECT_EQ(file.open(path.string(), "wb"), stream::StreamStatus::Ok);
            document.writeLines(file);
        }
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line + "\n");
        return lines;
    }

    static void closeDocuments()
    {
        framework::DocumentManager::instance().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        framework::DocumentManager::instance().clearTemplates();
    }

    std::vector<std::string> messages;
    QMainWindow window;
    QMdiArea* area = nullptr;
};

} // namespace zeb::testsupport
