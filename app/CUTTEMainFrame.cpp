#include "app/CUTTEMainFrame.h"

#include "app/CUTTEApp.h"
#include "app/Commands.h"
#include "app/connection/ConnectionKeeper.h"
#include "app/connection/qt/ConnectDialogs.h"
#include "app/connection/qt/ConnectProgress.h"
#include "app/framework/CIHCODocument.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DialogRunner.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/FileChooser.h"
#include "app/language/qt/CUTTEAboutDialog.h"
#include "app/language/qt/CUTTEPropertiesDialog.h"
#include "app/language/qt/Resources.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace zeb::app {
namespace {

constexpr std::string_view kSection = platform::Settings::kSection;
constexpr std::string_view kBarStateSection = "UTTEBarState";
constexpr int kImageSize = 32;
constexpr int kButtonSize = 40;
constexpr int kStripWidth = 1023;
constexpr int kPaneIconSize = 16;

const std::vector<framework::FileChooser::Filter>& workspaceFilters()
{
    static const std::vector<framework::FileChooser::Filter> filters{
        {QStringLiteral("ZEB500 file (*.ute)"), QStringLiteral("*.ute")}};
    return filters;
}

const QString& chooserTitle()
{
    static const QString title = QStringLiteral("Select a ZEB500 file");
    return title;
}

} // namespace

CUTTEMainFrame::CUTTEMainFrame(CUTTEApp& app, QWidget* parent)
    : QMainWindow(parent)
    , m_app(app)
    , m_documentArea(new QMdiArea(this))
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(language::Resources::icon("IDR_MAINFRAME"));
    m_documentArea->setObjectName(QStringLiteral("documentArea"));
    // Each document keeps its own show state: opening another window must not maximise it
    // because the active one is maximised (workspaces restore every window's state as saved).
    m_documentArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(m_documentArea);
    buildStatusBar();
    // The frame follows the application connection: activity panes, title and enabling.
    app.connection().subscribeWindow(handle());
}

CUTTEMainFrame::~CUTTEMainFrame()
{
    if (CUTTEApp::instance())
        m_app.connection().setWindowState(handle(), stream::SubscriberState::Disabled);
}

void CUTTEMainFrame::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    m_connectProgress = new connection::ConnectProgress([this] { m_app.connectionKeeper().cancel(); }, bar);
    bar->addWidget(m_connectProgress);
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        auto* pane = new QLabel(bar);
        const int id = i == 0 ? command::SentPane : command::ReceivedPane;
        pane->setObjectName(QString::number(id));
        pane->setToolTip(language::Resources::string(static_cast<unsigned>(id)));
        pane->setFixedSize(kPaneIconSize + 4, kPaneIconSize + 4);
        pane->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(pane);
        m_panes[i] = pane;
        m_paneIcon[i] = -1;
        setPane(static_cast<int>(i), 0);
    }
}

bool CUTTEMainFrame::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->clear();
    m_menuActions.clear();
    m_recentPlaceholder = nullptr;
    m_recentActions.clear();
    if (!language::Resources::buildMenu(128, *bar))
        return false;
    addDocumentMenu();
    addWindowMenu();
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu())
            connectActions(menu);
    }
    fillRecentFiles();
    updateCommands();
    return true;
}

void CUTTEMainFrame::connectActions(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            connectActions(sub);
            continue;
        }
        if (action->objectName() == QLatin1String("recentFiles")) {
            m_recentPlaceholder = action;
            m_recentMenuAnchor = menu;
            continue;
        }
        bool ok = false;
        const int id = action->data().toInt(&ok);
        if (!ok || id == 0)
            continue;
        m_menuActions.emplace(id, action);
        QObject::connect(action, &QAction::triggered, this, [this, id] { executeCommand(id); });
    }
    QObject::connect(menu, &QMenu::aboutToShow, this, [this] { updateCommands(); });
}

void CUTTEMainFrame::addDocumentMenu()
{
    auto* menu = new QMenu(language::Resources::text("MENU/DOCUMENTS", QStringLiteral("&Documents")), this);
    for (const auto& documentTemplate : framework::DocumentManager::instance().templates()) {
        const int id = documentTemplate->commandId();
        if (id < command::FirstNewDocument || id > command::LastNewDocument)
            continue;
        QAction* action = menu->addAction(documentTemplate->icon(), documentTemplate->label());
        action->setData(id);
    }
    insertBeforeLastMenu(menu);
}

// Before the last menu (Help), where the document and window menus are expected.
void CUTTEMainFrame::insertBeforeLastMenu(QMenu* menu)
{
    const auto actions = menuBar()->actions();
    if (actions.isEmpty())
        menuBar()->addMenu(menu);
    else
        menuBar()->insertMenu(actions.back(), menu);
}

void CUTTEMainFrame::addWindowMenu()
{
    // Rebuilt with the other menus on a change of language: the old one goes.
    delete m_windowMenu;
    auto* menu = new QMenu(language::Resources::text("MENU/WINDOW", QStringLiteral("&Window")), this);
    m_windowMenu = menu;
    menu->setObjectName(QStringLiteral("windowMenu"));
    QAction* cascade = menu->addAction(language::Resources::text("MENU/WINDOW_CASCADE", QStringLiteral("&Cascade")));
    cascade->setObjectName(QStringLiteral("cascade"));
    QObject::connect(cascade, &QAction::triggered, m_documentArea, &QMdiArea::cascadeSubWindows);
    QAction* tile = menu->addAction(language::Resources::text("MENU/WINDOW_TILE", QStringLiteral("&Tile")));
    tile->setObjectName(QStringLiteral("tile"));
    QObject::connect(tile, &QAction::triggered, m_documentArea, &QMdiArea::tileSubWindows);
    menu->addSeparator();
    m_windowMenuFixed = static_cast<int>(menu->actions().size());
    QObject::connect(menu, &QMenu::aboutToShow, this, [this, menu] { listWindows(menu); });
    insertBeforeLastMenu(menu);
}

void CUTTEMainFrame::listWindows(QMenu* menu)
{
    const auto actions = menu->actions();
    for (qsizetype i = m_windowMenuFixed; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const auto windows = m_documentArea->subWindowList();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QPointer<QMdiSubWindow> window = windows[i];
        QString title = window->windowTitle();
        QAction* action = menu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(title.replace(QLatin1Char('&'), QStringLiteral("&&"))));
        action->setCheckable(true);
        action->setChecked(window == m_documentArea->activeSubWindow());
        QObject::connect(action, &QAction::triggered, this, [this, window] {
            if (window)
                m_documentArea->setActiveSubWindow(window);
        });
    }
}

void CUTTEMainFrame::fillRecentFiles()
{
    if (!m_recentPlaceholder || !m_recentMenuAnchor)
        return;
    for (QAction* action : m_recentActions) {
        m_recentMenuAnchor->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    const auto& entries = m_app.recentFiles().entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString label = QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(entries[i]));
        auto* action = new QAction(label, m_recentMenuAnchor);
        const std::string path = entries[i];
        QObject::connect(action, &QAction::triggered, this, [this, path] {
            m_app.loadWorkspace(path);
            fillRecentFiles();
        });
        m_recentMenuAnchor->insertAction(m_recentPlaceholder, action);
        m_recentActions.push_back(action);
    }
    m_recentPlaceholder->setVisible(false);
}

void CUTTEMainFrame::buildDocumentToolbar()
{
    if (!m_toolbar) {
        m_toolbar = new QToolBar(this);
        m_toolbar->setObjectName(QString::number(command::ViewToolbar));
        m_toolbar->setIconSize(QSize(kImageSize, kImageSize));
        m_toolbar->setAllowedAreas(Qt::AllToolBarAreas);
        addToolBar(Qt::TopToolBarArea, m_toolbar);
        const std::string saved = platform::Settings::current().readText(kBarStateSection, "state", "");
        if (!saved.empty())
            restoreState(QByteArray::fromBase64(QByteArray::fromStdString(saved)));
    }
    m_toolbar->clear();
    m_toolbarActions.clear();

    // One image strip, each template's icon at 32 x its type, as the buttons' images.
    QPixmap strip(kStripWidth, kImageSize);
    strip.fill(Qt::transparent);
    const auto& templates = framework::DocumentManager::instance().templates();
    {
        QPainter painter(&strip);
        for (const auto& documentTemplate : templates) {
            if (!documentTemplate->icon().isNull())
                painter.drawPixmap(kImageSize * documentTemplate->type(), 0,
                                   documentTemplate->icon().pixmap(kImageSize, kImageSize));
        }
    }
    for (const auto& documentTemplate : templates) {
        const int id = documentTemplate->commandId();
        const QIcon image(strip.copy(kImageSize * documentTemplate->type(), 0, kImageSize, kImageSize));
        QAction* action = m_toolbar->addAction(image, documentTemplate->label());
        action->setData(id);
        const QString prompt = language::Resources::string(static_cast<unsigned>(id));
        const QString tip = prompt.section(QLatin1Char('\n'), 1);
        action->setToolTip(tip.isEmpty() ? documentTemplate->label() : tip);
        action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        if (QWidget* button = m_toolbar->widgetForAction(action))
            button->setMinimumSize(kButtonSize, kButtonSize);
        QObject::connect(action, &QAction::triggered, this, [this, id] { executeCommand(id); });
        m_toolbarActions[id] = action;
    }
    updateCommands();
}

QAction* CUTTEMainFrame::menuAction(int id) const
{
    auto found = m_menuActions.find(id);
    return found == m_menuActions.end() ? nullptr : found->second;
}

QAction* CUTTEMainFrame::toolbarAction(int id) const
{
    auto found = m_toolbarActions.find(id);
    return found == m_toolbarActions.end() ? nullptr : found->second;
}

bool CUTTEMainFrame::commandEnabled(int id) const
{
    switch (id) {
    case command::Connect:
        return !m_app.connectionOpen();
    case command::Disconnect:
        // Also ends an opening or a wait to reconnect.
        return m_app.connectionOpen()
            || m_app.connectionKeeper().state() != connection::ConnectionKeeper::State::Closed;
    case command::PrintSetup:
        return false; // the workbench prints nothing yet
    default:
        break;
    }
    if (id < command::FirstNewDocument || id > command::LastNewDocument)
        return true;
    const framework::CIHCOTemplate* documentTemplate = framework::DocumentManager::instance().byCommand(id);
    return documentTemplate && documentTemplate->makesDocuments() && documentTemplate->connectionReady();
}

void CUTTEMainFrame::updateCommands()
{
    for (auto& [id, action] : m_menuActions)
        action->setEnabled(commandEnabled(id));
    for (auto& [id, action] : m_toolbarActions)
        action->setEnabled(commandEnabled(id));
}

void CUTTEMainFrame::executeCommand(int id)
{
    if (!commandEnabled(id))
        return;
    switch (id) {
    case command::About: {
        language::CUTTEAboutDialog about(this);
        framework::DialogRunner::run(about);
        break;
    }
    case command::Documentation:
        showDocumentation();
        break;
    case command::OpenWorkspace:
        openWorkspace();
        break;
    case command::SaveWorkspace:
    case command::FileSave:
        saveWorkspace();
        break;
    case command::SaveWorkspaceAs:
    case command::FileSaveAs:
        saveWorkspaceAs();
        break;
    case command::CloseWorkspace:
        m_app.closeWorkspace();
        break;
    case command::Connect:
        connect();
        break;
    case command::Disconnect:
        disconnect();
        break;
    case command::Properties:
        showProperties();
        break;
    case command::WebSite:
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(CUTTEApp::kWebSite)));
        break;
    case command::Exit:
        close();
        break;
    case command::ViewToolbar:
        if (m_toolbar)
            m_toolbar->show();
        break;
    case command::ViewStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
    default:
        if (id >= command::FirstNewDocument && id <= command::LastNewDocument)
            newDocument(id);
        break;
    }
    updateCommands();
}

void CUTTEMainFrame::newDocument(int commandId)
{
    framework::CIHCOTemplate* documentTemplate = framework::DocumentManager::instance().byCommand(commandId);
    if (!documentTemplate || !documentTemplate->makesDocuments())
        return;
    if (documentTemplate->single() && documentTemplate->firstDocument())
        return;
    framework::CIHCODocument* document = documentTemplate->createDocument();
    if (document)
        document->finishLoading();
}

void CUTTEMainFrame::openWorkspace()
{
    std::string path = m_app.homeDirectory() + "/";
    if (!framework::FileChooser::choose(this, chooserTitle(), path, framework::FileChooser::Mode::Read,
                                        workspaceFilters()))
        return;
    m_app.loadWorkspace(path);
    fillRecentFiles();
}

void CUTTEMainFrame::saveWorkspace()
{
    if (m_app.workspacePath().empty()) {
        saveWorkspaceAs();
        return;
    }
    m_app.saveWorkspace(m_app.workspacePath());
}

void CUTTEMainFrame::saveWorkspaceAs()
{
    std::string path = m_app.workspacePath();
    if (path.empty())
        path = m_app.homeDirectory() + "/workspace1.ute";
    if (!framework::FileChooser::choose(this, chooserTitle(), path, framework::FileChooser::Mode::Write,
                                        workspaceFilters()))
        return;
    m_app.saveWorkspace(path);
}

void CUTTEMainFrame::connect()
{
    connection::runConnectCommand(this, m_app.connectionKeeper(), m_app.connection(), m_app.connectionSettings(),
                                  [this](const stream::IOSTStream&) { showConnectionTitle(); });
}

void CUTTEMainFrame::disconnect()
{
    m_app.connectionKeeper().close();
    resetTitle();
}

void CUTTEMainFrame::connectionChanged()
{
    using State = connection::ConnectionKeeper::State;
    const connection::ConnectionKeeper& keeper = m_app.connectionKeeper();
    const QString address = QString::fromStdString(keeper.addressText());
    switch (keeper.state()) {
    case State::Connecting:
        m_connectProgress->showText(QStringLiteral("Connecting to %1...").arg(address));
        break;
    case State::Waiting:
        m_connectProgress->showText(QStringLiteral("Connection lost: reconnecting to %1 in %2 s")
                                        .arg(address)
                                        .arg(static_cast<double>(keeper.nextPause().count()) / 1000.0));
        break;
    default:
        m_connectProgress->showText(QString());
        break;
    }
    showConnectionTitle();
    updateCommands();
}

void CUTTEMainFrame::showProperties()
{
    language::CUTTEPropertiesDialog dialog(m_app.languages(), this);
    dialog.setValues(m_app.settings());
    if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
        return;
    m_app.applyProperties(dialog.values());
}

void CUTTEMainFrame::showDocumentation()
{
    const framework::CIHCOTemplate* browser = framework::DocumentManager::instance().byKey("IHWB");
    if (browser && browser->makesDocuments()) {
        newDocument(browser->commandId());
        return;
    }
    const QString page = QString::fromStdString(platform::Environment::home() + "/documentation/"
                                                + platform::Environment::language() + "/introduction.html");
    if (!QFileInfo(page).isFile()) {
        CUTTEApp::showMessage(QStringLiteral("The documentation is not installed:\n%1").arg(page));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void CUTTEMainFrame::showConnectionTitle()
{
    if (!m_app.connectionOpen()) {
        resetTitle();
        return;
    }
    setWindowTitle(QStringLiteral("%1 - %2").arg(QString::fromLatin1(kTitle),
                                                 QString::fromStdString(m_app.connection().address())));
}

void CUTTEMainFrame::resetTitle()
{
    setWindowTitle(QString::fromLatin1(kTitle));
}

void CUTTEMainFrame::setPane(int pane, int icon)
{
    auto index = static_cast<std::size_t>(pane);
    if (m_paneIcon[index] == icon)
        return;
    m_paneIcon[index] = icon;
    m_panes[index]->setPixmap(m_app.statusIcon(icon).pixmap(kPaneIconSize, kPaneIconSize));
}

platform::LResult CUTTEMainFrame::onMessage(platform::MessageId message, platform::WParam, platform::LParam)
{
    const auto& ids = stream::StreamRegistry::messages();
    if (message == ids.sent) {
        setPane(0, 1);
        platform::startTimer(handle(), kSentTimer, std::chrono::milliseconds(kActivityMs));
    } else if (message == ids.receive) {
        setPane(1, 2);
        platform::startTimer(handle(), kReceivedTimer, std::chrono::milliseconds(kActivityMs));
    } else if (message == ids.close) {
        // A far side that hung up shows at once, without waiting for anyone to close the stream.
        m_app.connectionKeeper().connectionClosed();
        showConnectionTitle();
        updateCommands();
    } else if (message == ids.open) {
        showConnectionTitle();
        updateCommands();
    }
    return 0;
}

void CUTTEMainFrame::onTimer(platform::TimerId id)
{
    if (id == kSentTimer)
        setPane(0, 0);
    else if (id == kReceivedTimer)
        setPane(1, 0);
}

void CUTTEMainFrame::saveFramePlacement()
{
    auto& settings = platform::Settings::current();
    // Qt's geometries are of the client area, while the frame is placed by its outer corner:
    // the stored position is the outer corner of the normal placement, the size the client's.
    const bool normalShown = !isMaximized() && !isMinimized() && !isFullScreen();
    const QRect normal = normalShown || !normalGeometry().isValid() ? geometry() : normalGeometry();
    const QPoint border = geometry().topLeft() - pos();
    settings.writeInt(kSection, "x", normal.x() - border.x());
    settings.writeInt(kSection, "y", normal.y() - border.y());
    settings.writeInt(kSection, "w", normal.width());
    settings.writeInt(kSection, "h", normal.height());
    settings.writeText(kBarStateSection, "state", saveState().toBase64().toStdString());
}

void CUTTEMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        saveFramePlacement();
        m_app.exitWorkspaceStep();
        platform::Settings::current().flush();
        framework::DocumentManager::instance().closeAllDocuments();
    }
    event->accept();
}

} // namespace zeb::app
