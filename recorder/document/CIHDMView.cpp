#include "recorder/document/CIHDMView.h"

#include "app/framework/DialogRunner.h"
#include "app/framework/UserMessages.h"
#include "app/language/qt/Resources.h"
#include "platform/MessageListeners.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"
#include "recorder/document/CIHDMDocument.h"
#include "recorder/engine/Recorder.h"
#include "recorder/widgets/CIHDMPropertySheet.h"
#include "stream/IOSTStream.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>

namespace zeb::recorder {

namespace {

constexpr int kTickMs = 1000;

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

} // namespace

CIHDMView::CIHDMView(CIHDMDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_clock([] { return static_cast<std::int64_t>(std::time(nullptr)); })
    , m_statusPicture(new QLabel)
    , m_status(new QLabel)
    , m_level(new QLabel)
    , m_file(new QLabel)
    , m_period(new QLabel)
    , m_counts(new QLabel)
{
    auto* status = new QHBoxLayout;
    status->addWidget(m_statusPicture);
    status->addWidget(m_status, 1);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Status"), status);
    layout->addRow(tr("Level"), m_level);
    layout->addRow(tr("File"), m_file);
    layout->addRow(tr("Period"), m_period);
    layout->addRow(tr("Messages"), m_counts);

    m_start = addCommand("IDI_IHDM_START", tr("Start"), &CIHDMView::startRecording);
    m_stop = addCommand("IDI_IHDM_STOP", tr("Stop"), &CIHDMView::stopRecording);
    m_suspend = addCommand("IDI_IHDM_SUSPEND", tr("Suspend"), &CIHDMView::suspendRecording);
    m_properties = addCommand("IDI_IHDM_PROPERTIES", tr("Properties..."), &CIHDMView::editProperties);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    m_timer.setInterval(kTickMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    m_timer.start();
    refresh();
    // Scripts and tools reach every recorder window through the breakers without knowing the windows.
    for (const platform::MessageId message : {breakerStartMessage(), breakerStopMessage(), breakerSuspendMessage()})
        platform::MessageListeners::instance().listen(handle(), message);
}

// The document may already be gone when its frame deletes this view: the recording ends with the document.
CIHDMView::~CIHDMView()
{
    platform::MessageListeners::instance().forget(handle());
}

QAction* CIHDMView::addCommand(const char* key, const QString& caption, void (CIHDMView::*command)())
{
    auto* action = new QAction(language::Resources::icon(key), caption, this);
    QObject::connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    addAction(action);
    return action;
}

platform::MessageId CIHDMView::breakerStartMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_BREAKER_START");
    return id;
}

platform::MessageId CIHDMView::breakerStopMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_BREAKER_STOP");
    return id;
}

platform::MessageId CIHDMView::breakerSuspendMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_BREAKER_SUSPEND");
    return id;
}

platform::MessageId CIHDMView::wakeMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("ON_IHDM_WAKE");
    return id;
}

void CIHDMView::startRecording()
{
    Recorder& recorder = m_document.recorder();
    if (recorder.state() != Recorder::State::Idle)
        return;
    // A fresh data folder has no record folder yet; one that cannot be made is told when the file fails to open.
    const RecorderSettings& settings = recorder.settings();
    if (!settings.outputsToStream() && !settings.directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(settings.directory, error);
    }
    // Only the handle goes to the connection workers: a post to a view that is gone is dropped.
    recorder.setWake([view = handle()] { platform::post(view, wakeMessage()); });
    recorder.setFailureHandler([view = QPointer<CIHDMView>(this)](const std::string& message) {
        framework::UserMessages::show(text(message), view);
    });
    if (const auto refused = recorder.start(m_clock()))
        framework::UserMessages::show(text(*refused), this);
    refresh();
}

void CIHDMView::stopRecording()
{
    m_document.recorder().stop();
    refresh();
}

void CIHDMView::suspendRecording()
{
    m_document.recorder().suspend();
    refresh();
}

void CIHDMView::editProperties()
{
    CIHDMPropertySheet sheet(this);
    sheet.prepare(m_document.settings());
    if (framework::DialogRunner::run(sheet) != QDialog::Accepted)
        return;
    const std::string error = m_document.applySettings(sheet.settings());
    if (!error.empty())
        framework::UserMessages::show(text(error), this);
    refresh();
}

void CIHDMView::tick()
{
    m_document.recorder().tick(m_clock());
    m_blinkOff = !m_blinkOff;
    refresh();
}

QString CIHDMView::statusText() const
{
    return m_status->text();
}

QString CIHDMView::fileText() const
{
    return m_file->text();
}

const char* CIHDMView::statusPictureFor(const std::string& status)
{
    if (status == "RECORDING")
        return "IDI_IHDM_STATUS_RECORDING";
    if (status == "WAITING")
        return "IDI_IHDM_STATUS_WAITING";
    if (status == "NO DATA" || status == "NO MATCH")
        return "IDI_IHDM_STATUS_NO_DATA";
    if (status == "WRITE FAILED")
        return "IDI_IHDM_STATUS_FAILED";
    return "IDI_IHDM_STATUS_IDLE";
}

const char* CIHDMView::levelPictureFor(int level)
{
    static constexpr std::array<const char*, 11> kPictures
        = {"IDI_IHDM_LEVEL_0", "IDI_IHDM_LEVEL_1", "IDI_IHDM_LEVEL_2", "IDI_IHDM_LEVEL_3",
           "IDI_IHDM_LEVEL_4", "IDI_IHDM_LEVEL_5", "IDI_IHDM_LEVEL_6", "IDI_IHDM_LEVEL_7",
           "IDI_IHDM_LEVEL_8", "IDI_IHDM_LEVEL_9", "IDI_IHDM_LEVEL_10"};
    return kPictures[static_cast<std::size_t>(std::clamp(level, 0, 10))];
}

void CIHDMView::refresh()
{
    const Recorder& recorder = m_document.recorder();
    const Recorder::State state = recorder.state();
    const std::string& status = recorder.statusText();
    // Waiting blinks: every other second shows neither its text nor its picture.
    const bool hidden = status == "WAITING" && m_blinkOff;
    m_status->setText(hidden ? QString() : text(status));
    const char* picture = hidden ? "IDI_IHDM_STATUS_IDLE" : statusPictureFor(status);
    if (picture != m_statusPictureShown) {
        m_statusPicture->setPixmap(language::Resources::pixmap(picture));
        m_statusPictureShown = picture;
    }
    if (recorder.level() != m_levelShown) {
        m_levelShown = recorder.level();
        m_level->setPixmap(language::Resources::pixmap(levelPictureFor(m_levelShown)));
    }
    const RecorderSettings& settings = recorder.settings();
    m_file->setText(state == Recorder::State::Idle
                        ? QString()
                        : text(Recorder::fileText(settings.baseName, recorder.fileIndex(), recorder.bytesWritten())));
    m_file->setToolTip(text(recorder.fileName()));
    const Schedule& schedule = recorder.schedule();
    m_period->setText(state == Recorder::State::Idle ? QString()
                                                     : text(Recorder::dateText(schedule.start)) + QStringLiteral(" - ")
                              + (schedule.duration > 0 ? text(Recorder::dateText(schedule.end)) : tr("no end")));
    m_counts->setText(tr("%1 received, %2 matched, %3 bytes in file %4")
                          .arg(recorder.messagesReceived())
                          .arg(recorder.messagesMatched())
                          .arg(recorder.bytesWritten())
                          .arg(recorder.fileIndex()));
    m_start->setEnabled(state == Recorder::State::Idle);
    m_stop->setEnabled(state != Recorder::State::Idle);
    m_suspend->setEnabled(state == Recorder::State::Recording);
}

platform::LResult CIHDMView::onMessage(platform::MessageId message, platform::WParam, platform::LParam)
{
    void (CIHDMView::*command)() = nullptr;
    if (message == wakeMessage())
        command = &CIHDMView::servicePorts;
    else if (message == breakerStartMessage())
        command = &CIHDMView::breakerStart;
    else if (message == breakerStopMessage())
        command = &CIHDMView::stopRecording;
    else if (message == breakerSuspendMessage())
        command = &CIHDMView::suspendRecording;
    if (!command)
        return 0;
    // A breaker may be sent from inside a stream notification whose thread waits for the answer: stopping closes
    // ports, so the command runs once the sender has gone on.
    QMetaObject::invokeMethod(
        this, [this, command] { (this->*command)(); }, Qt::QueuedConnection);
    return 0;
}

void CIHDMView::servicePorts()
{
    m_document.recorder().servicePorts();
    refresh();
}

// An idle recorder starts with its properties as they are set, as the Start command would; one that waits resumes.
void CIHDMView::breakerStart()
{
    if (m_document.recorder().state() == Recorder::State::Idle) {
        startRecording();
        return;
    }
    m_document.recorder().resume();
    refresh();
}

} // namespace zeb::recorder
