#pragma once

#include "app/RecentFiles.h"
#include "app/language/ApplicationSettings.h"
#include "app/language/LanguageList.h"
#include "app/workspace/WorkspaceHost.h"
#include "stream/StreamAddress.h"

#include <QIcon>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}
namespace zeb::language {
class ResourceLibrary;
}
namespace zeb::connection {
class ConnectionKeeper;
}

namespace zeb::app {

class CUTTEMainFrame;

// The application object: start-up in its fixed order, the application connection (stream 65),
// the settings, the language library in use, the main frame, and loading and saving workspaces.
// One instance, on the user-interface thread, with a QApplication and a platform dispatcher
// already running there.
class CUTTEApp : public workspace::WorkspaceHost
{
public:
    static constexpr const char* kName = "ZEB500";
    static constexpr int kConnectionId = 65;
    static constexpr const char* kVersion = "2.4";
    static constexpr const char* kWebSite = "https://zeb500.orvane.example/";
    // Opens the workspace named beside it for this run only: the next plain start loads the
    // stored workspace as before (the start script's demo).
    static constexpr const char* kOnceOption = "--once";

    CUTTEApp();
    ~CUTTEApp() override;
    CUTTEApp(const CUTTEApp&) = delete;
    CUTTEApp& operator=(const CUTTEApp&) = delete;

    static CUTTEApp* instance();

    // Start-up. `arguments` are the program's arguments without the program name: an optional
    // workspace file (one that does not exist yet is created at exit) and kOnceOption. False when the workbench cannot
    // start (no language library: no menus).
    bool initInstance(const QStringList& arguments);
    // The names of the start-up steps in the order they ran, for diagnosis and tests.
    const std::vector<std::string>& startupTrace() const { return m_trace; }

    stream::IOSTStream& connection() { return *m_connection; }
    stream::StreamAddress& connectionSettings() { return m_connectionSettings; }
    // Open with a live transport: a connection whose far side hung up no longer counts.
    bool connectionOpen() const;
    // Opens, closes and reopens the application connection in the background.
    connection::ConnectionKeeper& connectionKeeper() { return *m_keeper; }
    // Runs `task` after `pause` on this thread: the pause before a reconnect. A QTimer unless a
    // test puts its own clock in.
    using PauseTimer = std::function<void(std::chrono::milliseconds pause, std::function<void()> task)>;
    void setPauseTimer(PauseTimer timer) { m_pauseTimer = std::move(timer); }
    language::ApplicationSettings& settings() { return m_settings; }
    const language::LanguageList& languages() const { return m_languages; }
    const language::ResourceLibrary* resourceLibrary() const { return m_resourceLibrary.get(); }
    CUTTEMainFrame* mainFrame() const { return m_mainFrame.get(); }
    RecentFiles& recentFiles() { return m_recentFiles; }
    const std::string& workspacePath() const { return m_workspacePath; }
    void setWorkspacePath(std::string path) { m_workspacePath = std::move(path); }
    const std::string& homeDirectory() const { return m_homeDirectory; }

    QIcon statusIcon(int which) const; // 0 none, 1 receive, 2 send

    // Language choice: probe the libraries, read the settings record, ask at first start,
    // load the chosen library. False when no library could be loaded.
    bool chooseLanguage();

    bool loadWorkspace(const std::string& path);
    bool saveWorkspace(const std::string& path);
    // Writes "workspace" and, when so configured, saves the workspace there if it came from
    // there or the user has filled it since.
    void exitWorkspaceStep();
    // Closes the connection, resets the title, closes every document.
    void closeWorkspace() override;
    // Applies a confirmed properties dialog: settings, and on a language change the reload.
    void applyProperties(const language::ApplicationSettings& confirmed);

    // Message boxes go through here so that tests and scripted runs can take them instead.
    using MessageSink = std::function<void(const QString& text)>;
    static void setMessageSink(MessageSink sink);
    static void showMessage(const QString& text);
    // How the first-start welcome dialog is answered: by default the dialog runs modally.
    using WelcomeChooser = std::function<int()>;
    void setWelcomeChooser(WelcomeChooser chooser) { m_welcomeChooser = std::move(chooser); }

    // WorkspaceHost.
    void connectTo(std::string_view address) override;
    workspace::WorkspaceDocument* createDocument(std::string_view key) override;
    void showError(std::string_view message) override;
    std::string openConnectionAddress() const override;
    std::vector<Block> documents() const override;
    void workspaceLoaded(std::string_view path) override;
    void workspaceSaved(std::string_view path) override;

private:
    void step(const char* name) { m_trace.emplace_back(name); }
    void initRegistries();
    void readHomeDirectory();
    void loadStatusIcons();
    void registerFont();
    void placeAndShowFrame();
    void createTemplates();
    void makeConnectionKeeper();
    void loadStartupWorkspace(const QStringList& arguments);
    // Writes the setting "workspace", which the next start loads; never the kOnceOption one.
    void rememberWorkspace(const std::string& path);
    int runWelcomeDialog();

    std::unique_ptr<stream::IOSTStream> m_connection;
    stream::StreamAddress m_connectionSettings;
    PauseTimer m_pauseTimer;
    std::unique_ptr<connection::ConnectionKeeper> m_keeper;
    std::array<QIcon, 3> m_statusIcons;
    language::ApplicationSettings m_settings;
    std::string m_workspacePath = "default.ute";
    // What the workbench shows was loaded from m_workspacePath or saved there (or is a new
    // workspace to be created there), rather than emptied or left behind by a failed load.
    bool m_workspaceFromFile = false;
    std::string m_oncePath;
    std::string m_homeDirectory;
    language::LanguageList m_languages;
    std::unique_ptr<language::ResourceLibrary> m_resourceLibrary;
    std::unique_ptr<CUTTEMainFrame> m_mainFrame;
    RecentFiles m_recentFiles;
    WelcomeChooser m_welcomeChooser;
    std::vector<std::string> m_trace;
};

} // namespace zeb::app
