#pragma once

#include "platform/MessageTarget.h"
#include "trace/core/TraceDisplaySettings.h"
#include "trace/core/TraceRecord.h"
#include "trace/core/TraceRing.h"

#include <QTableView>
#include <QTimer>

class QAction;

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::trace {

class CIHDBDocument;
class TraceListModel;

// The trace list: one row per trace sentence received on the document's stream, the most recent 1000, each in the
// colour of its level. Sentences are read as they arrive (on this window's thread, while the receive thread waits)
// into the ring; the list is brought up to date a few times a second, so a flood of trace neither grows memory nor
// stalls the window. Suspend drops what arrives; Clear empties the list; Properties edits the receiver's switches,
// the colours and the font.
class CIHDBView : public QTableView, public platform::MessageTarget
{
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 50;

    explicit CIHDBView(CIHDBDocument& document, QWidget* parent = nullptr);
    ~CIHDBView() override;

    // Listens to the document's stream and reads the display settings.
    void initialUpdate();

    QAction* suspendAction() const { return m_suspend; }
    QAction* propertiesAction() const { return m_properties; }
    QAction* clearAction() const { return m_clear; }

    bool suspended() const { return m_suspended; }
    const TraceRing& records() const { return m_ring; }
    const TraceDisplaySettings& display() const { return m_display; }
    TraceListModel& listModel() const { return *m_model; }

    void toggleSuspend();
    void editProperties();
    void clear();
    // Shows what arrived since the last refresh.
    void refresh();

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    QAction* addCommand(const char* key, const QString& caption, void (CIHDBView::*command)());
    void applyDisplay(const TraceDisplaySettings& display);
    void refreshState();
    void detach();

    CIHDBDocument& m_document;
    stream::IOSTStream* m_stream = nullptr;
    TraceRing m_ring;
    TraceRecord m_scratch;
    TraceDisplaySettings m_display;
    TraceListModel* m_model;
    QTimer m_timer;
    bool m_suspended = false;
    QAction* m_suspend;
    QAction* m_properties;
    QAction* m_clear;
};

} // namespace zeb::trace
