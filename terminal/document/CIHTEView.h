#pragma once

#include "platform/MessageTarget.h"
#include "terminal/session/TerminalSession.h"
#include "terminal/session/TerminalSink.h"
#include "terminal/widgets/CIHTEPromptDialog.h"
#include "terminal/widgets/CWICOScreenView.h"

#include <QPointer>
#include <QProgressDialog>
#include <QSize>
#include <QTimer>

namespace zeb::terminal {

class CIHTEDocument;
class CIHTEToolBar;
class CIHTEButtonBar;

// The terminal's view: the screen view that shows every message of the document's stream in the
// colour and mode of its category and direction, the input line that sends typed telecommands,
// and the commands of the terminal's tool bar. Its window subscribes to the stream; the
// messages' bytes are shown while the stream's thread waits. Prompts are asked outside those
// notifications, one at a time, each in a dialog of its own.
class CIHTEView : public CWICOScreenView, public platform::MessageTarget, private TerminalSink, private PromptHandler
{
    Q_OBJECT

public:
    explicit CIHTEView(CIHTEDocument& document, QWidget* parent = nullptr);
    ~CIHTEView() override;

    TerminalSession& session() { return m_session; }
    CIHTEDocument& document() const { return m_document; }

    // The bars this view's commands drive, given by its frame.
    void setBars(CIHTEToolBar* toolBar, CIHTEButtonBar* buttonBar);
    QSize buttonBarSize() const;

    // Prepares the screen, reads the input filters, attaches to the document's stream and sets
    // the frame's title.
    void initialUpdate();
    // Follows the stream's open state: automatic activity, enabled commands, suspend check.
    void refreshState();

    // The view's commands.
    void sendFile();
    void sendFile(const std::string& path);
    void clearScreen();
    void toggleSuspend();
    void editOptions();
    void editInputFilters();
    void sendTelecommand(const std::string& text);
    // Stops the running log, or starts one in a file the user chooses.
    void toggleLog(bool raw);

    // "ON_SEND_TELECOMMAND": posted with a zero-terminated text the receiver frees.
    static platform::MessageId sendTelecommandMessage();
    // Posted by the file sender's thread whenever a file send moved on.
    static platform::MessageId fileProgressMessage();
    // The progress of the file being sent, with its Cancel button; null when none is sent.
    QProgressDialog* fileProgress() const { return m_fileProgress; }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void show(std::uint32_t colour, std::string_view text) override;
    PromptResult prompt(std::vector<PromptRow>& rows) override;
    void schedulePrompts();
    void showFileProgress();
    void report(std::string_view message);
    void detach();
    void checkLog();
    void showHeldLines();

    CIHTEDocument& m_document;
    TerminalSession m_session;
    CIHTEToolBar* m_toolBar = nullptr;
    CIHTEButtonBar* m_buttonBar = nullptr;
    bool m_laidOut = false;
    bool m_promptsScheduled = false;
    QPointer<QProgressDialog> m_fileProgress;
    // Looks for log failures while a log runs: they are found on the log's thread.
    QTimer m_logCheck;
};

} // namespace zeb::terminal
