#include "autotest/document/CIHTLView.h"

#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DialogRunner.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/FileChooser.h"
#include "app/framework/UserMessages.h"
#include "app/language/qt/Resources.h"
#include "autotest/core/OutputQueue.h"
#include "autotest/core/RunController.h"
#include "autotest/core/TestFiles.h"
#include "autotest/core/WindowHost.h"
#include "autotest/document/CIHTLDocument.h"
#include "autotest/document/CIHTLEditor.h"
#include "autotest/document/OutputPane.h"
#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/core/UrlLine.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

namespace zeb::autotest {
namespace {

using language::Resources;

platform::MessageId outputMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_OUTPUT");
    return id;
}

platform::MessageId threadDoneMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_THREAD_DONE");
    return id;
}

QString chooserTitle()
{
    return Resources::text("IHTL/CHOOSE", QStringLiteral("Choose a test file"));
}

std::vector<framework::FileChooser::Filter> testFilters()
{
    return {{Resources::text("IHTL/FILTER_TEST", QStringLiteral("Test")), QStringLiteral("*.utl")},
            {Resources::text("IHTL/FILTER_ALL", QStringLiteral("All")), QStringLiteral("*.*")}};
}

// Where the file dialogs start: the data folder's "test" folder, made when missing.
std::string dialogStart()
{
    std::error_code error;
    std::filesystem::create_directories(TestFiles::folder(), error);
    return TestFiles::folder() + "/";
}

// The script language page beside the introduction of the current language.
std::string scriptLanguagePage()
{
    const std::filesystem::path introduction
        = documentation::DocumentationRoots::installed().introduction(platform::Environment::language());
    return (introduction.parent_path() / "scripts.html").string();
}

} // namespace

CIHTLView::CIHTLView(CIHTLDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_editor(new CIHTLEditor)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    setFocusProxy(m_editor);

    // Script threads reach the window only by posting to its handle: once the window is gone
    // the posts are dropped, whatever the script still does.
    const platform::Handle target = handle();
    m_queue = std::make_shared<OutputQueue>([target] { platform::post(target, outputMessage(), kOutputWaiting); });
    m_host = std::make_shared<WindowHost>([target] { platform::post(target, outputMessage(), kDialogWaiting); },
                                          [target](std::int64_t window) {
                                              platform::post(target, threadDoneMessage(), kScriptThreadEnded,
                                                             static_cast<platform::LParam>(window));
                                          });
    m_controller = std::make_unique<RunController>(m_queue, m_host);
}

CIHTLView::~CIHTLView()
{
    // A script waiting in a message box gets its answer, and the run is stopped (bounded wait)
    // before the window goes.
    m_host->cancel();
    rejectShownBox();
    m_controller.reset();
}

void CIHTLView::setPanes(OutputPane* output, OutputPane* assembly)
{
    m_output = output;
    m_assembly = assembly;
}

void CIHTLView::run()
{
    if (m_state != State::Stopped || m_output == nullptr || m_assembly == nullptr)
        return;
    m_editor->setReadOnly(true);
    m_queue->discard();
    m_output->clearPane();
    m_editor->setErrorLine(-1);
    const RunController::Compiled& compiled = m_controller->prepare(m_editor->toPlainText().toStdString());
    if (!compiled.ok) {
        m_output->append(QString::fromStdString(compiled.errorText + "\r\n"));
        m_editor->setErrorLine(static_cast<int>(compiled.errorPosition.line) - 1);
        m_editor->placeCaretAtByte(compiled.errorPosition.offset);
        m_editor->setReadOnly(false);
        m_editor->setFocus();
        return;
    }
    for (const script::Diagnostic& diagnostic : compiled.diagnostics)
        m_output->append(QStringLiteral("Line %1:%2: %3\r\n")
                             .arg(diagnostic.line)
                             .arg(diagnostic.column)
                             .arg(QString::fromStdString(diagnostic.text)));
    if (!compiled.hasMain) {
        m_editor->setReadOnly(false);
        return;
    }
    m_assembly->clearPane();
    m_assembly->append(QString::fromStdString(compiled.mainListing));
    m_host->reopen();
    const platform::Handle target = handle();
    if (!m_controller->start(
            [target](RunController::Result) { platform::post(target, threadDoneMessage(), kMainEnded); })) {
        m_editor->setReadOnly(false);
        return;
    }
    setState(State::Running);
}

void CIHTLView::stop()
{
    if (m_state != State::Running)
        return;
    m_host->cancel();
    rejectShownBox();
    m_controller->stop();
}

void CIHTLView::open()
{
    if (m_state != State::Stopped)
        return;
    std::string path = dialogStart();
    if (!framework::FileChooser::choose(this, chooserTitle(), path, framework::FileChooser::Mode::Read, testFilters()))
        return;
    if (const auto refusal = TestFiles::refusal(path)) {
        framework::UserMessages::show(QString::fromStdString(*refusal), this);
        return;
    }
    if (load(path))
        m_document.setPath(path);
}

void CIHTLView::save()
{
    std::string path = m_document.path();
    if (path.empty()) {
        std::string chosen = dialogStart();
        if (!framework::FileChooser::choose(this, chooserTitle(), chosen, framework::FileChooser::Mode::Write,
                                            testFilters()))
            return;
        path = TestFiles::withExtension(chosen);
    }
    saveAs(path);
}

bool CIHTLView::saveAs(const std::string& path)
{
    if (const auto refusal = TestFiles::refusal(path)) {
        framework::UserMessages::show(QString::fromStdString(*refusal), this);
        return false;
    }
    const std::string file = TestFiles::writable(path);
    if (!TestFiles::write(file, m_editor->toPlainText().toStdString())) {
        framework::UserMessages::show(
            Resources::text("IHTL/SAVE_FAILED",
                            QStringLiteral("Could not write the test file %1: check the folder "
                                           "exists and may be written, or choose another name."))
                .arg(QString::fromStdString(file)),
            this);
        return false;
    }
    m_document.setPath(path);
    return true;
}

bool CIHTLView::load(const std::string& file)
{
    const std::optional<std::string> text = TestFiles::read(file);
    if (!text) {
        framework::UserMessages::show(
            Resources::text("IHTL/LOAD_FAILED",
                            QStringLiteral("Could not read the test file %1: check that it exists, "
                                           "is readable and holds at most 16 MiB."))
                .arg(QString::fromStdString(file)),
            this);
        return false;
    }
    m_editor->setPlainText(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())));
    m_editor->setErrorLine(-1);
    return true;
}

void CIHTLView::showHelp()
{
    const std::string page = scriptLanguagePage();
    framework::CIHCOTemplate* browser = framework::DocumentManager::instance().byKey("IHWB");
    if (browser != nullptr && browser->makesDocuments()) {
        framework::CIHCODocument* document = browser->createDocument();
        if (document == nullptr)
            return;
        document->handleLine(documentation::UrlLine::format(page));
        document->finishLoading();
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page)));
}

void CIHTLView::initialUpdate()
{
    if (!m_document.path().empty())
        load(TestFiles::resolve(m_document.path()));
}

platform::LResult CIHTLView::onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam)
{
    if (message == outputMessage()) {
        if (wParam == kDialogWaiting)
            showDialogs();
        else if (wParam == kButtonsWaiting)
            changeButtons();
        else
            showOutput();
        return 1;
    }
    if (message == threadDoneMessage()) {
        if (wParam == kMainEnded)
            mainEnded();
        else
            emit scriptThreadEnded(static_cast<qint64>(lParam));
        return 1;
    }
    return MessageTarget::onMessage(message, wParam, lParam);
}

void CIHTLView::setState(State state)
{
    m_state = state;
    emit stateChanged(state);
}

void CIHTLView::showOutput()
{
    const std::string text = m_queue->take();
    if (!text.empty() && m_output != nullptr)
        m_output->append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CIHTLView::showDialogs()
{
    // One box at a time: requests that arrive meanwhile are shown when it closes.
    if (m_box)
        return;
    const QPointer<CIHTLView> alive(this);
    while (std::optional<WindowHost::Request> request = m_host->next()) {
        const bool question = request->kind == WindowHost::Kind::Question;
        const QMessageBox::Icon icon = question        ? QMessageBox::Question
            : request->kind == WindowHost::Kind::Alert ? QMessageBox::Critical
                                                       : QMessageBox::Information;
        // Not a child of the window: closing the window while the box is shown must not
        // delete it under the running dialog.
        QMessageBox box(icon, QStringLiteral("ZEB500"), QString::fromUtf8(request->text.c_str()),
                        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
        m_box = &box;
        const int result = framework::DialogRunner::run(box);
        if (!alive)
            return;
        m_box = nullptr;
        m_host->answer(request->id, result == QMessageBox::Yes);
    }
}

void CIHTLView::changeButtons()
{
    for (const WindowHost::ButtonRequest& request : m_host->takeButtonRequests()) {
        const auto found = m_buttons.find(request.id);
        switch (request.change) {
        case WindowHost::ButtonChange::Create: {
            if (found != m_buttons.end() || m_buttons.size() >= kMaxButtons)
                break;
            // A window of its own on the desktop, as scripts have always had it.
            auto button = std::make_unique<QPushButton>(QStringLiteral("Toto"));
            button->setGeometry(10, 10, 100, 40);
            button->show();
            m_buttons.emplace(request.id, std::move(button));
            break;
        }
        case WindowHost::ButtonChange::Show:
            if (found != m_buttons.end())
                found->second->show();
            break;
        case WindowHost::ButtonChange::Hide:
            if (found != m_buttons.end())
                found->second->hide();
            break;
        case WindowHost::ButtonChange::Destroy:
            if (found != m_buttons.end())
                m_buttons.erase(found);
            break;
        }
    }
}

void CIHTLView::mainEnded()
{
    showOutput();
    m_host->cancel();
    rejectShownBox();
    // Main has returned: its thread ends at once.
    m_controller->stopAndWait(RunController::kStopWait);
    m_editor->setReadOnly(false);
    setState(State::Stopped);
}

void CIHTLView::rejectShownBox()
{
    if (m_box)
        m_box->reject();
}

} // namespace zeb::autotest
