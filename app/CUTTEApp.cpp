#include "app/CUTTEApp.h"

#include "app/CUTTEMainFrame.h"
#include "app/DocumentTypes.h"
#include "app/connection/ConnectionKeeper.h"
#include "app/framework/CIHCODocument.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DialogRunner.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "app/framework/UserMessages.h"
#include "app/framework/WindowPlacement.h"
#include "app/language/ExtensionLoader.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/CUTTEWelcomeDialog.h"
#include "app/language/qt/Resources.h"
#include "app/workspace/Workspace.h"
#include "autotest/document/CIHTLDocument.h"
#include "documentation/browser/window/CIHWBDocument.h"
#include "geometry/widgets/CIHGEDocument.h"
#include "heading/document/CIHHDDocument.h"
#include "explorer/document/CIHEXDocument.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"
#include "platform/Settings.h"
#include "recorder/document/CIHDMDocument.h"
#include "remote-display/widgets/RemoteDisplayTypes.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/serial/SerialTransport.h"
#include "stream/socket/SocketTransports.h"
#include "terminal/document/CIHTEDocument.h"
#include "text/Format.h"
#include "trace/document/CIHDBDocument.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <sys/utsname.h>

namespace zeb::app {
namespace {

CUTTEApp* g_instance = nullptr;

constexpr std::string_view kSection = platform::Settings::kSection;
constexpr int kDefaultSize = 600;

bool isRegularFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The workspace named on the command line is remembered for the next start, which may run
// in another folder.
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

} // namespace

CUTTEApp::CUTTEApp()
{
    g_instance = this;
}

CUTTEApp::~CUTTEApp()
{
    // Documents go before the frame that holds their windows, the connection last.
    framework::DocumentManager::instance().closeAllDocuments();
    framework::DocumentManager::instance().clearTemplates();
    m_mainFrame.reset();
    language::Resources::setLibrary(nullptr);
    // A connection still being opened is given up; its worker finishes on its own.
    m_keeper.reset();
    if (m_connection)
        m_connection->close();
    if (g_instance == this)
        g_instance = nullptr;
}

CUTTEApp* CUTTEApp::instance()
{
    return g_instance;
}

bool CUTTEApp::initInstance(const QStringList& arguments)
{
    step("system");
    struct utsname system
    { };
    uname(&system);

    step("registries");
    initRegistries();

    step("connection");
    m_connection = std::make_unique<stream::IOSTStream>(kConnectionId);
    makeConnectionKeeper();

    step("settings");
    m_workspacePath = "default.ute";
    m_recentFiles.read();

    step("home");
    if (platform::Environment::home().empty()) {
        std::fprintf(stderr, "ZEB500: no data folder: set HOME, XDG_DATA_HOME or ZEB500_HOME.\n");
        return false;
    }
    readHomeDirectory();
    // After the data folder is known: the served folder lies in it and must not be it.
    if (const std::string refusal = stream::rpc::installRemoteRequests(); !refusal.empty())
        std::fprintf(stderr, "ZEB500: %s\n", refusal.c_str());

    step("language");
    chooseLanguage();

    step("icons");
    loadStatusIcons();

    step("font");
    registerFont();

    step("frame");
    m_mainFrame = std::make_unique<CUTTEMainFrame>(*this);
    if (!m_mainFrame->buildMenus()) {
        std::fprintf(stderr,
                     "ZEB500: no language library (UTTEV001R001*.so) could be loaded, so there are no menus.\n"
                     "        Build the workbench (scripts/start.sh), or point ZEB500_ASSETS at the folder holding "
                     "the libraries.\n");
        m_mainFrame.reset();
        return false;
    }
    framework::DocumentManager::instance().setArea(m_mainFrame->documentArea());

    step("placement");
    placeAndShowFrame();

    step("extensions");
    language::ExtensionLoader::loadAll(platform::Environment::home(), m_mainFrame->handle());

    step("templates");
    createTemplates();

    step("toolbar");
    m_mainFrame->buildDocumentToolbar();

    step("workspace");
    loadStartupWorkspace(arguments);
    m_mainFrame->updateCommands();
    return true;
}

void CUTTEApp::makeConnectionKeeper()
{
    connection::ConnectionKeeper::Hooks hooks;
    hooks.post = [](std::function<void()> task) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    };
    hooks.schedule = [this](std::chrono::milliseconds pause, std::function<void()> task) {
        if (m_pauseTimer)
            m_pauseTimer(pause, std::move(task));
        else
            QTimer::singleShot(pause, QCoreApplication::instance(), std::move(task));
    };
    hooks.changed = [this] {
        if (m_mainFrame)
            m_mainFrame->connectionChanged();
    };
    m_keeper = std::make_unique<connection::ConnectionKeeper>(*m_connection, std::move(hooks));
}

void CUTTEApp::initRegistries()
{
    stream::StreamRegistry::instance();
    codecs::registerMessageCodecs();
    stream::serial::registerSerialTransport();
    stream::socket::registerSocketTransports();
    terminal::registerTerminalDocumentType();
    recorder::registerRecorderDocumentType();
    heading::registerHeadingDocumentType();
    trace::registerTraceDocumentType();
    documentation::registerBrowserDocumentType();
    geometry::registerGeometryDocumentType();
    remote_display::registerRemoteDisplayDocumentTypes();
    explorer::registerExplorerDocumentType();
    autotest::registerAutomaticTestDocumentType();
}

void CUTTEApp::readHomeDirectory()
{
    auto& settings = platform::Settings::current();
    // The data folder of the environment wins over the stored one, so that a test bench or a
    // second installation can run side by side; the stored value is kept for other tools.
    const std::string stored = settings.readText(kSection, "homeDirectory", platform::Environment::home());
    const char* variable = std::getenv(platform::Environment::kHomeVariable);
    m_homeDirectory = (variable && *variable) ? std::string(variable) : stored;
    settings.writeText(kSection, "homeDirectory", m_homeDirectory);
    platform::Environment::setHome(m_homeDirectory);
    // On a fresh start nothing made the folder yet, and the first save at exit would fail.
    std::error_code error;
    std::filesystem::create_directories(m_homeDirectory, error);
    if (error)
        std::fprintf(stderr, "ZEB500: cannot create the data folder %s: %s\n", m_homeDirectory.c_str(),
                     error.message().c_str());
}

bool CUTTEApp::chooseLanguage()
{
    m_languages = language::LanguageList::probe();
    auto& store = platform::Settings::current();
    m_settings = language::ApplicationSettings::read(store, m_languages);

    if (m_settings.language.empty()) {
        // First start (or the chosen library is gone): ask, in the language of the environment.
        auto welcome = language::ResourceLibrary::load(platform::Environment::language());
        if (!welcome)
            welcome = language::ResourceLibrary::load("ENU");
        if (!welcome)
            return false;
        language::Resources::setLibrary(welcome.get());
        const std::string chosen = language::CUTTEWelcomeDialog::codeForResult(runWelcomeDialog());
        language::Resources::setLibrary(m_resourceLibrary.get());
        if (!chosen.empty() && m_languages.find(chosen)) {
            m_settings.language = chosen;
            m_settings.write(store);
        }
    }

    platform::Environment::setLanguage(m_settings.language.empty() ? std::string("ENU") : m_settings.language);
    auto library = language::ResourceLibrary::load(platform::Environment::language());
    if (!library)
        library = language::ResourceLibrary::load("ENU");
    language::Resources::setLibrary(library.get());
    m_resourceLibrary = std::move(library);
    return m_resourceLibrary != nullptr;
}

int CUTTEApp::runWelcomeDialog()
{
    if (m_welcomeChooser)
        return m_welcomeChooser();
    language::CUTTEWelcomeDialog dialog;
    return framework::DialogRunner::run(dialog);
}

void CUTTEApp::loadStatusIcons()
{
    m_statusIcons[0] = language::Resources::icon("IDI_UTTE_STATUS_NONE");
    m_statusIcons[1] = language::Resources::icon("IDI_UTTE_STATUS_RECEIVE");
    m_statusIcons[2] = language::Resources::icon("IDI_UTTE_STATUS_SEND");
}

QIcon CUTTEApp::statusIcon(int which) const
{
    return m_statusIcons.at(static_cast<std::size_t>(which));
}

void CUTTEApp::registerFont()
{
    std::string path = platform::Environment::home() + "/font/Zerath.ttf";
    if (!isRegularFile(path))
        path = platform::Environment::findAsset("font/Zerath.ttf");
    if (!path.empty())
        QFontDatabase::addApplicationFont(QString::fromStdString(path));
}

void CUTTEApp::placeAndShowFrame()
{
    auto& settings = platform::Settings::current();
    const int x = settings.readInt(kSection, "x", 0);
    const int y = settings.readInt(kSection, "y", 0);
    const int w = settings.readInt(kSection, "w", kDefaultSize);
    const int h = settings.readInt(kSection, "h", kDefaultSize);
    static const platform::MessageId changeLanguage = platform::MessageRegistry::registerMessage("ON_CHANGE_LANGUAGE");
    platform::post(m_mainFrame->handle(), changeLanguage);
    // The stored placement may come from another screen, or be anything: keep the frame on this one.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect placed
        = framework::WindowPlacement::reachable(x, y, w, h, screen ? screen->availableGeometry() : QRect());
    m_mainFrame->move(placed.topLeft());
    m_mainFrame->resize(placed.size());
    m_mainFrame->show();
}

void CUTTEApp::createTemplates()
{
    auto& manager = framework::DocumentManager::instance();
    for (const DocumentTypeRow& row : kDocumentTypes) {
        const framework::DocumentTypeCatalog::Factories* factories = framework::DocumentTypeCatalog::factories(row.key);
        auto documentTemplate = std::make_unique<framework::CIHCOTemplate>(
            std::string(row.key), QString::fromUtf8(row.label.data(), static_cast<int>(row.label.size())),
            factories ? factories->document : framework::CIHCOTemplate::DocumentFactory{},
            factories ? factories->frame : framework::CIHCOTemplate::FrameFactory{});
        documentTemplate->setType(row.type);
        documentTemplate->setCommandId(row.commandId);
        documentTemplate->setSingle(row.single);
        documentTemplate->setIcon(language::Resources::icon(row.icon));
        if (row.needsConnection)
            documentTemplate->setConnectionTest([this] { return connectionOpen(); });
        manager.addTemplate(std::move(documentTemplate));
    }
    for (const auto& make : framework::DocumentTypeCatalog::extraTemplates())
        manager.addTemplate(make());
}

void CUTTEApp::loadStartupWorkspace(const QStringList& arguments)
{
    auto& settings = platform::Settings::current();
    m_workspacePath = settings.readText(kSection, "workspace", m_homeDirectory + "/default.ute");
    std::string named;
    bool once = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String(kOnceOption))
            once = true;
        else if (named.empty() && !argument.startsWith(QLatin1Char('-')))
            named = absolutePath(argument.toStdString());
    }
    if (once)
        m_oncePath = named;
    if (named.empty()) {
        if (m_settings.loadWorkspaceOnStartup && isRegularFile(m_workspacePath))
            loadWorkspace(m_workspacePath);
        return;
    }
    if (isRegularFile(named)) {
        loadWorkspace(named);
        return;
    }
    // A name that is nothing yet is the workspace of this run: it is created at exit.
    std::error_code error;
    if (!std::filesystem::exists(named, error) && !error) {
        m_workspacePath = named;
        m_workspaceFromFile = true;
    }
}

bool CUTTEApp::connectionOpen() const
{
    return m_connection && m_connection->device() && m_connection->device()->isOpen();
}

bool CUTTEApp::loadWorkspace(const std::string& path)
{
    const bool loaded = workspace::loadWorkspace(path, *this) == workspace::LoadResult::Loaded;
    if (m_mainFrame)
        m_mainFrame->updateCommands();
    return loaded;
}

bool CUTTEApp::saveWorkspace(const std::string& path)
{
    return workspace::saveWorkspace(path, *this);
}

void CUTTEApp::exitWorkspaceStep()
{
    rememberWorkspace(m_workspacePath);
    if (!m_settings.saveWorkspaceOnExit || m_workspacePath.empty())
        return;
    // The file may hold the user's last work while the workbench shows none of it (a failed
    // load, Close workspace, a start without it): only a workspace that came from the file, or
    // that the user has given a connection or a window since, replaces it.
    if (m_workspaceFromFile || !openConnectionAddress().empty() || !documents().empty())
        saveWorkspace(m_workspacePath);
}

void CUTTEApp::rememberWorkspace(const std::string& path)
{
    if (path != m_oncePath)
        platform::Settings::current().writeText(kSection, "workspace", path);
}

void CUTTEApp::closeWorkspace()
{
    m_workspaceFromFile = false;
    keptBlocks().clear();
    m_keeper->close();
    if (m_mainFrame)
        m_mainFrame->resetTitle();
    framework::DocumentManager::instance().closeAllDocuments();
    if (m_mainFrame)
        m_mainFrame->updateCommands();
}

void CUTTEApp::applyProperties(const language::ApplicationSettings& confirmed)
{
    // A dialog confirmed without a language selected (possible only when none was ever chosen)
    // keeps the language in use rather than reloading with none.
    language::ApplicationSettings chosen = confirmed;
    if (chosen.language.empty())
        chosen.language = m_settings.language;
    const bool languageChanged = chosen.language != m_settings.language;
    m_settings = chosen;
    m_settings.write(platform::Settings::current());
    static const platform::MessageId changeLanguage = platform::MessageRegistry::registerMessage("ON_CHANGE_LANGUAGE");
    if (m_mainFrame)
        platform::post(m_mainFrame->handle(), changeLanguage);
    if (!m_settings.language.empty())
        platform::Environment::setLanguage(m_settings.language);
    if (!languageChanged)
        return;

    const std::string remembered = m_workspacePath;
    exitWorkspaceStep();
    closeWorkspace();
    chooseLanguage();
    loadStatusIcons();
    if (isRegularFile(remembered))
        loadWorkspace(remembered);
    if (m_mainFrame) {
        m_mainFrame->buildMenus();
        m_mainFrame->buildDocumentToolbar();
    }
}

void CUTTEApp::setMessageSink(MessageSink sink)
{
    framework::UserMessages::setSink(std::move(sink));
}

void CUTTEApp::showMessage(const QString& text)
{
    framework::UserMessages::show(text, g_instance ? g_instance->mainFrame() : nullptr);
}

void CUTTEApp::connectTo(std::string_view address)
{
    // A network or serial address opens in the background: the workspace goes on with its windows,
    // which follow the connection once it is open. A file opens at once.
    stream::StreamAddress record;
    if (stream::parseOpenText(address, record) == stream::OpenTarget::Address) {
        m_keeper->open(record);
        return;
    }
    m_keeper->close();
    m_connection->open(address, "rb");
    if (!m_mainFrame)
        return;
    m_mainFrame->showConnectionTitle();
    m_mainFrame->updateCommands();
}

workspace::WorkspaceDocument* CUTTEApp::createDocument(std::string_view key)
{
    return framework::DocumentManager::instance().createDocument(key);
}

void CUTTEApp::showError(std::string_view message)
{
    showMessage(QString::fromUtf8(message.data(), static_cast<int>(message.size())));
}

std::string CUTTEApp::openConnectionAddress() const
{
    // A connection being opened or waiting to reconnect is kept in a saved workspace too.
    return connectionOpen() ? m_connection->address() : m_keeper->addressText();
}

std::vector<workspace::WorkspaceHost::Block> CUTTEApp::documents() const
{
    std::vector<Block> blocks;
    for (const auto& documentTemplate : framework::DocumentManager::instance().templates()) {
        for (framework::CIHCODocument* document : documentTemplate->documents())
            blocks.push_back({documentTemplate->key(), document});
    }
    return blocks;
}

void CUTTEApp::workspaceLoaded(std::string_view path)
{
    // `path` may view m_workspacePath itself: add it before replacing that.
    m_recentFiles.add(path);
    m_workspacePath = std::string(path);
    m_workspaceFromFile = true;
}

void CUTTEApp::workspaceSaved(std::string_view path)
{
    m_workspacePath = std::string(path);
    m_workspaceFromFile = true;
    rememberWorkspace(m_workspacePath);
}

} // namespace zeb::app
