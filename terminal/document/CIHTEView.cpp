#include "terminal/document/CIHTEView.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/DialogRunner.h"
#include "app/framework/FileChooser.h"
#include "app/framework/UserMessages.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEOptionsDialog.h"
#include "terminal/widgets/CIHTEButtonBar.h"
#include "terminal/widgets/CIHTEFilterEditor.h"
#include "terminal/widgets/CIHTEToolBar.h"
#include "text/Format.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <memory>

namespace zeb::terminal {

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kLogCheckMs = 250;

} // namespace

CIHTEView::CIHTEView(CIHTEDocument& document, QWidget* parent)
    : CWICOScreenView(kAllParts, parent)
    , m_document(document)
    , m_session(*this, *this, [this](std::string_view message) { report(message); })
{
    setAcceptDrops(true);
    m_session.applyOptions(document.options());
    m_session.setPromptScheduler([this] { schedulePrompts(); });
    // Only the handle goes to the sender's thread: a post to a view that is gone is dropped.
    m_session.setFileNotifier([view = handle()] { platform::post(view, fileProgressMessage()); });
    setScrollBack(m_session.options().scrollBack);
    QObject::connect(this, &CWICOScreenView::lineEntered, this,
                     [this](const std::string& line) { sendTelecommand(line); });
    m_logCheck.setInterval(kLogCheckMs);
    QObject::connect(&m_logCheck, &QTimer::timeout, this, [this] { checkLog(); });
}

CIHTEView::~CIHTEView()
{
    // The sender's thread may be telling this view of a send: it ends while the view still serves it.
    m_session.stopFileSend();
    detach();
}

platform::MessageId CIHTEView::sendTelecommandMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_SEND_TELECOMMAND");
    return id;
}

platform::MessageId CIHTEView::fileProgressMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_IHTE_FILE_PROGRESS");
    return id;
}

void CIHTEView::setBars(CIHTEToolBar* toolBar, CIHTEButtonBar* buttonBar)
{
    m_toolBar = toolBar;
    m_buttonBar = buttonBar;
    if (m_toolBar) {
        QObject::connect(m_toolBar, &CIHTEToolBar::sendRequested, this,
                         [this](const std::string& value) { sendTelecommand(value); });
        QObject::connect(m_toolBar, &CIHTEToolBar::sendFile, this, [this] { sendFile(); });
        QObject::connect(m_toolBar, &CIHTEToolBar::suspend, this, [this] { toggleSuspend(); });
        QObject::connect(m_toolBar, &CIHTEToolBar::options, this, [this] { editOptions(); });
        QObject::connect(m_toolBar, &CIHTEToolBar::clear, this, [this] { clearScreen(); });
        QObject::connect(m_toolBar, &CIHTEToolBar::inputFilter, this, [this] { editInputFilters(); });
        QObject::connect(m_toolBar, &CIHTEToolBar::log, this, [this](bool raw) { toggleLog(raw); });
        QObject::connect(m_toolBar, &CIHTEToolBar::find, this, [this](const std::string& text, bool forward) {
            if (!findText(text, forward))
                QApplication::beep();
        });
    }
    if (m_buttonBar) {
        QObject::connect(m_buttonBar, &CIHTEButtonBar::sendRequested, this,
                         [this](const std::string& value) { sendTelecommand(value); });
    }
    refreshState();
}

QSize CIHTEView::buttonBarSize() const
{
    return m_buttonBar ? m_buttonBar->barSize() : m_document.buttonBarSize();
}

void CIHTEView::initialUpdate()
{
    stream::IOSTStream* stream = m_document.stream();
    m_session.initialUpdate(stream);
    if (stream)
        stream->subscribeWindow(handle());
    const QString title = stream ? QStringLiteral("Terminal %1").arg(QString::fromStdString(stream->name()))
                                 : QStringLiteral("Terminal");
    m_document.setTitle(title.toStdString());
    refreshState();
}

void CIHTEView::detach()
{
    if (stream::IOSTStream* stream = m_session.stream())
        stream->unsubscribeWindow(handle());
    m_session.detach();
}

void CIHTEView::refreshState()
{
    m_session.refreshState();
    setInactive(!m_session.active());
    const bool open = m_session.streamOpen();
    if (m_toolBar) {
        m_toolBar->setStreamOpen(open);
        m_toolBar->setSuspended(!m_session.active());
    }
    if (m_buttonBar)
        m_buttonBar->setStreamOpen(open);
    showHeldLines();
}

void CIHTEView::showHeldLines()
{
    const int held = m_session.heldLines();
    setNotice(held > 0 && !m_session.active() ? tr("Suspended: %n line(s) held", nullptr, held) : QString());
}

void CIHTEView::show(std::uint32_t colour, std::string_view text)
{
    addText(colour, text);
    if (m_laidOut)
        return;
    // The first text shown lays the frame's bars out once.
    m_laidOut = true;
    if (QWidget* frame = m_document.frame()) {
        frame->resize(frame->width() + 1, frame->height());
        frame->resize(frame->width() - 1, frame->height());
    }
}

PromptResult CIHTEView::prompt(std::vector<PromptRow>& rows)
{
    CIHTEPromptDialog dialog(this);
    return dialog.prompt(rows);
}

void CIHTEView::schedulePrompts()
{
    // Called inside a stream notification, whose thread waits: the prompts run once it has gone on.
    // A view destroyed meanwhile takes the queued call with it.
    if (m_promptsScheduled)
        return;
    m_promptsScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_promptsScheduled = false;
            m_session.runPendingPrompts();
        },
        Qt::QueuedConnection);
}

void CIHTEView::report(std::string_view message)
{
    framework::UserMessages::show(QString::fromUtf8(message.data(), static_cast<int>(message.size())), this);
}

void CIHTEView::sendTelecommand(const std::string& text)
{
    m_session.sendTelecommand(text);
}

void CIHTEView::sendFile()
{
    std::string path = platform::Environment::home() + "/";
    if (!framework::FileChooser::choose(this, QStringLiteral("Send file"), path, framework::FileChooser::Mode::Read,
                                        {{QStringLiteral("All files (*.*)"), QStringLiteral("*")}}))
        return;
    sendFile(path);
}

void CIHTEView::sendFile(const std::string& path)
{
    if (!m_session.sendFile(path))
        return;
    showFileProgress();
}

void CIHTEView::showFileProgress()
{
    if (!m_session.sendingFile()) {
        if (m_fileProgress)
            m_fileProgress->deleteLater();
        return;
    }
    if (!m_fileProgress) {
        // Not modal: the terminal goes on showing what is sent and received meanwhile.
        m_fileProgress
            = new QProgressDialog(QStringLiteral("Sending file..."), QStringLiteral("Cancel"), 0, kProgressSteps, this);
        m_fileProgress->setObjectName(QStringLiteral("fileProgress"));
        m_fileProgress->setWindowModality(Qt::NonModal);
        m_fileProgress->setAutoClose(false);
        m_fileProgress->setAutoReset(false);
        QObject::connect(m_fileProgress, &QProgressDialog::canceled, this, [this] { m_session.cancelFileSend(); });
        m_fileProgress->show();
    }
    const std::uint64_t size = std::max<std::uint64_t>(m_session.fileSize(), 1);
    m_fileProgress->setValue(static_cast<int>(m_session.fileSent() * kProgressSteps / size));
}

void CIHTEView::clearScreen()
{
    clear();
    m_session.clear();
}

void CIHTEView::toggleSuspend()
{
    if (!m_session.streamOpen())
        return;
    m_session.suspend();
    refreshState();
}

void CIHTEView::editOptions()
{
    CIHTEOptionsDialog dialog(m_document.options(), this);
    if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
        return;
    m_document.options() = dialog.options();
    m_session.applyOptions(m_document.options());
    m_document.options().writeSettings();
    setScrollBack(m_session.options().scrollBack);
}

void CIHTEView::toggleLog(bool raw)
{
    if (m_session.log().running()) {
        m_session.stopLog();
        checkLog();
        return;
    }
    std::string path = platform::Environment::home() + "/terminal.log";
    if (framework::FileChooser::choose(this, QStringLiteral("Log to a file"), path, framework::FileChooser::Mode::Write,
                                       {{QStringLiteral("Log (*.log)"), QStringLiteral("*.log")},
                                        {QStringLiteral("All files (*.*)"), QStringLiteral("*")}})
        && m_session.startLog(path, raw ? TerminalLog::Mode::Raw : TerminalLog::Mode::Text))
        m_logCheck.start();
    checkLog();
}

// A failed log stops and tells the user; this runs from the timer or a command, never inside a stream
// notification, so the message box cannot stall the stream.
void CIHTEView::checkLog()
{
    const std::string error = m_session.log().takeError();
    if (!error.empty() && m_session.log().running())
        m_session.stopLog();
    if (!m_session.log().running())
        m_logCheck.stop();
    if (m_toolBar)
        m_toolBar->setLogging(m_session.log().running());
    if (!error.empty())
        report(error);
}

void CIHTEView::editInputFilters()
{
    CIHTEFilterEditor editor(m_session.inputFilters(), this);
    if (framework::DialogRunner::run(editor) != QDialog::Accepted)
        return;
    if (!m_session.applyInputFilters(editor.edited()))
        report("Cannot write the input filter file");
}

platform::LResult CIHTEView::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    const auto& ids = stream::StreamRegistry::messages();
    if (message == ids.receive || message == ids.send) {
        const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
        if (!event)
            return 0;
        if (message == ids.receive)
            m_session.onReceive(*event);
        else
            m_session.onSend(*event);
        showHeldLines();
        return 0;
    }
    if (message == ids.open || message == ids.close) {
        refreshState();
        return 0;
    }
    if (message == fileProgressMessage()) {
        m_session.continueFileSend();
        showFileProgress();
        return 0;
    }
    if (message == sendTelecommandMessage()) {
        // The poster hands over a text allocated with new[]; this view frees it.
        std::unique_ptr<char[]> text(reinterpret_cast<char*>(lParam));
        if (text)
            sendTelecommand(text.get());
        return 0;
    }
    return 0;
}

void CIHTEView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CIHTEView::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            sendFile(url.toLocalFile().toStdString());
    }
    event->acceptProposedAction();
}

} // namespace zeb::terminal
