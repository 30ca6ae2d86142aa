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
#include "app/language/ExtensionLoader.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/CUTTEWelcomeDialog.h"
#include "app/language/qt/Resources.h"
#include "app/workspace/Workspace.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/serial/SerialTransport.h"
#include "stream/socket/SocketTransports.h"
#include "terminal/document/CIHTEDocument.h"
#include "text/Format.h"

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
    m_mainFrame->move(x, y);
    m_mainFrame->resize(w, h);
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
    std::string path;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            path = argument.toStdString();
            break;
        }
    }
    if (path.empty() && m_settings.loadWorkspaceOnStartup)
        path = m_workspacePath;
    if (isRegularFile(path))
        loadWorkspace(path);
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
    platform::Settings::current().writeText(kSection, "workspace", m_workspacePath);
    if (m_settings.saveWorkspaceOnExit && !m_workspacePath.empty())
        saveWorkspace(m_workspacePath);
}

void CUTTEApp::closeWorkspace()
{
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
    m_workspacePath = std::string(path);
    m_recentFiles.add(path);
}

void CUTTEApp::workspaceSaved(std::string_view path)
{
    m_workspacePath = std::string(path);
    platform::Settings::current().writeText(kSection, "workspace", m_workspacePath);
}

} // namespace zeb::app
