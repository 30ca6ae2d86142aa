#pragma once

#include "heading/core/CalibrationSession.h"
#include "heading/core/HeadingWorkspace.h"
#include "platform/MessageTarget.h"

#include <QDialog>
#include <QTimer>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::heading {

// The calibration panel, docked at the right of the heading view: the heading settings and the
// receiver's calibration estimates with their quality values, coloured by convergence, with
// Start, Stop, Send and Thresholds. The dialogue itself is the CalibrationSession; this panel
// shows it, writes its sentences to the stream and polls once a second. Its window subscribes
// to the stream. Destroying it stops a running calibration as Stop does.
class CIHHDCalibrationDialog : public QDialog, public platform::MessageTarget, private CalibrationHost
{
    Q_OBJECT

public:
    static constexpr int kPollMs = 1000;

    // `state` is the document's: its thresholds record and mode, which the tabs change.
    CIHHDCalibrationDialog(stream::IOSTStream* stream, HeadingWorkspace& state, QWidget* parent = nullptr);
    ~CIHHDCalibrationDialog() override;

    CalibrationSession& session() { return m_session; }
    // The controls by number (1037-1048, 1053-1058); null for other numbers.
    QWidget* control(int id) const;
    QTabBar* tabs() const { return m_tabs; }
    const QTimer& pollTimer() const { return m_poll; }

    // Subscribes the panel's window to the stream, then queries the settings: the reply may come at once.
    void open();
    void startCalibration();
    void stopCalibration();
    void sendSettings();
    void editThresholds();

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    void send(std::string_view sentence) override;
    void setPolling(bool on) override;
    void fieldChanged(CalibrationField field, const std::string& text) override;
    void stateChanged() override;

    void buildRows();
    void showRows();
    void colourQualities();
    QLineEdit* edit(CalibrationField field) const;

    stream::IOSTStream* m_stream;
    HeadingWorkspace& m_state;
    CalibrationSession m_session;
    QTimer m_poll;
    QTabBar* m_tabs;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_send;
    QPushButton* m_thresholds;
    std::array<QLineEdit*, CalibrationSession::kFieldCount> m_edits{};
    std::array<QLabel*, 5> m_labels{};
    bool m_subscribed = false;
};

} // namespace zeb::heading
