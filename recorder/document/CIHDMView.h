#pragma once

#include "platform/MessageTarget.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QAction;
class QLabel;

namespace zeb::recorder {

class CIHDMDocument;

// The recorder's view: status (text and picture; waiting blinks), level meter (a picture of eleven steps), current
// file, the period's start and end, and the counts, refreshed once a second as the recorder is ticked. Start, Stop,
// Suspend and Properties are its actions (popup menu and the frame's tool bar). "ON_BREAKER_START/STOP/SUSPEND" sent or
// posted to its window (every window listens for them) start or resume, stop or suspend the recording; the recorder's
// wake-up from a connection worker arrives the same way. Each runs queued on this window's thread, never inside the
// sender's call.
class CIHDMView : public QWidget, public platform::MessageTarget
{
    Q_OBJECT

public:
    using Clock = std::function<std::int64_t()>;

    explicit CIHDMView(CIHDMDocument& document, QWidget* parent = nullptr);
    ~CIHDMView() override;

    CIHDMDocument& document() const { return m_document; }
    // Tests give a clock of their own; the default reads the system time.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QAction* startAction() const { return m_start; }
    QAction* stopAction() const { return m_stop; }
    QAction* suspendAction() const { return m_suspend; }
    QAction* propertiesAction() const { return m_properties; }

    void startRecording();
    void stopRecording();
    void suspendRecording();
    void editProperties();
    // One tick of the recorder and a refresh of what is shown.
    void tick();

    QString statusText() const;
    QString fileText() const;
    int level() const { return m_levelShown; }
    // The pictures shown, by resource name.
    const char* statusPicture() const { return m_statusPictureShown; }
    static const char* statusPictureFor(const std::string& status);
    static const char* levelPictureFor(int level);

    static platform::MessageId breakerStartMessage();
    static platform::MessageId breakerStopMessage();
    static platform::MessageId breakerSuspendMessage();
    static platform::MessageId wakeMessage();

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    QAction* addCommand(const char* key, const QString& text, void (CIHDMView::*command)());
    void servicePorts();
    void breakerStart();
    void refresh();

    CIHDMDocument& m_document;
    Clock m_clock;
    QTimer m_timer;
    QLabel* m_statusPicture;
    QLabel* m_status;
    QLabel* m_level;
    int m_levelShown = -1;
    const char* m_statusPictureShown = nullptr;
    bool m_blinkOff = false;
    QLabel* m_file;
    QLabel* m_period;
    QLabel* m_counts;
    QAction* m_start;
    QAction* m_stop;
    QAction* m_suspend;
    QAction* m_properties;
};

} // namespace zeb::recorder
