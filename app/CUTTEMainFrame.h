#pragma once

#include "platform/MessageTarget.h"

#include <QMainWindow>
#include <QMenu>
#include <QPointer>

#include <array>
#include <map>

class QMdiArea;
class QLabel;
class QToolBar;
class QAction;

namespace zeb::connection {
class ConnectProgress;
}

namespace zeb::app {

class CUTTEApp;

// The workbench's main window: the document area, the menus of the language library, the
// document toolbar with one button per template, and a status bar whose two activity panes
// blink with what the application connection sends and receives. It subscribes to the
// application connection and owns the application commands and their enabling.
class CUTTEMainFrame : public QMainWindow, public platform::MessageTarget
{
public:
    static constexpr const char* kTitle = "ZEB500";
    static constexpr int kSentTimer = 10;
    static constexpr int kReceivedTimer = 11;
    static constexpr int kActivityMs = 200;

    explicit CUTTEMainFrame(CUTTEApp& app, QWidget* parent = nullptr);
    ~CUTTEMainFrame() override;

    QMdiArea* documentArea() const { return m_documentArea; }
    QToolBar* documentToolbar() const { return m_toolbar; }

    // Menus from menu 128 of the language library; false when the library holds none.
    bool buildMenus();
    // One toolbar button per template, image = its type, then the saved bar layout.
    void buildDocumentToolbar();

    // Runs an application command as the menus and the toolbar send it.
    void executeCommand(int id);
    bool commandEnabled(int id) const;
    // Re-evaluates the enabling of every command's actions.
    void updateCommands();
    // The action of a command in the menus (none when the menu lacks it) and on the toolbar.
    QAction* menuAction(int id) const;
    QAction* toolbarAction(int id) const;

    // "ZEB500", or "ZEB500 - <address>" while the application connection is open.
    void showConnectionTitle();
    void resetTitle();
    // The application connection's keeper changed state: title, commands and progress follow.
    void connectionChanged();
    connection::ConnectProgress* connectProgress() const { return m_connectProgress; }

    // Which icon each activity pane shows: 0 none, 1 receive, 2 send.
    int paneIcon(int pane) const { return m_paneIcon.at(pane); }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;
    void onTimer(platform::TimerId id) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildStatusBar();
    void addDocumentMenu();
    void addWindowMenu();
    void insertBeforeLastMenu(QMenu* menu);
    void listWindows(QMenu* menu);
    void fillRecentFiles();
    void connectActions(QMenu* menu);
    void setPane(int pane, int icon);
    void newDocument(int commandId);
    void openWorkspace();
    void saveWorkspace();
    void saveWorkspaceAs();
    void connect();
    void disconnect();
    void showProperties();
    void showDocumentation();
    void saveFramePlacement();

    CUTTEApp& m_app;
    QMdiArea* m_documentArea;
    QToolBar* m_toolbar = nullptr;
    std::array<QLabel*, 2> m_panes{};
    connection::ConnectProgress* m_connectProgress = nullptr;
    std::array<int, 2> m_paneIcon{};
    QMenu* m_recentMenuAnchor = nullptr;
    QPointer<QMenu> m_windowMenu;
    // The Window menu's actions before its list of windows.
    int m_windowMenuFixed = 0;
    QAction* m_recentPlaceholder = nullptr;
    std::vector<QAction*> m_recentActions;
    std::multimap<int, QAction*> m_menuActions;
    std::map<int, QAction*> m_toolbarActions;
    bool m_closing = false;
};

} // namespace zeb::app
