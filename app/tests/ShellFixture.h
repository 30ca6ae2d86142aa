#pragma once

#include "app/CUTTEApp.h"
#include "app/CUTTEMainFrame.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "testsupport/FrameworkTestDocument.h"
#include "testsupport/QtWaitFor.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace zeb::app::test {

using testsupport::TestDocument;
using testsupport::TestFrame;

// A fresh workbench per test: its own data folder and in-memory settings, messages collected
// instead of shown, the language already chosen unless a test clears it.
class ShellFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zeb500-shell-XXXXXX";
        home = mkdtemp(pattern);
        setenv("ZEB500_HOME", home.c_str(), 1);
        settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(settings);
        settings->writeText("Settings", "language", "ENU");
        CUTTEApp::setMessageSink([this](const QString& text) { messages.push_back(text.toStdString()); });
    }

    void TearDown() override
    {
        stop();
        CUTTEApp::setMessageSink({});
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    // Starts the workbench and adds the two test document types to its toolbar.
    CUTTEApp& start(const QStringList& arguments = {})
    {
        framework::DocumentTypeCatalog::clearExtraTemplates();
        framework::DocumentTypeCatalog::addExtraTemplate([] { return testTemplate(false); });
        framework::DocumentTypeCatalog::addExtraTemplate([] { return testTemplate(true); });
        app = std::make_unique<CUTTEApp>();
        started = app->initInstance(arguments);
        return *app;
    }

    void stop() { app.reset(); }

    // "TEST" needs the connection (command 33410); "TSNG" is single (command 33411).
    static std::unique_ptr<framework::CIHCOTemplate> testTemplate(bool single)
    {
        auto made = single ? testsupport::makeTestTemplate("TSNG", QStringLiteral("Single test"))
                           : testsupport::makeTestTemplate();
        made->setType(single ? 5 : 4);
        made->setCommandId(single ? 33411 : 33410);
        made->setSingle(single);
        if (!single)
            made->setConnectionTest([] { return CUTTEApp::instance()->connectionOpen(); });
        return made;
    }

    // GoogleTest reports the exception as the test's failure, rather than the test crashing.
    CUTTEMainFrame& frame()
    {
        if (!app || !app->mainFrame())
            throw std::runtime_error("the workbench did not start (are the language libraries built?)");
        return *app->mainFrame();
    }

    // The application connection opens in the background.
    ::testing::AssertionResult connectionOpens()
    {
        return testsupport::qtWaitFor([this] { return app->connectionOpen(); }, "the application connection open");
    }

    std::filesystem::path home;
    std::shared_ptr<platform::MemorySettings> settings;
    std::vector<std::string> messages;
    std::unique_ptr<CUTTEApp> app;
    bool started = false;
};

} // namespace zeb::app::test
