#pragma once

#include "platform/MessageTarget.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QMessageBox;
class QPushButton;

namespace zeb::autotest {

class CIHTLDocument;
class CIHTLEditor;
class OutputPane;
class OutputQueue;
class RunController;
class WindowHost;

// The automatic test's view: the script editor, and the run of its script. Run compiles the
// text, shows the listing of main in the Assembly pane and runs main on a script thread; what
// the script prints reaches the Output pane through a queue, its message boxes through the
// window host, and the end of main comes back as "ON_THREAD_DONE".
class CIHTLView : public QWidget, public platform::MessageTarget
{
    Q_OBJECT

public:
    enum class State : std::uint8_t { Stopped, Running };
    // First parameter of "ON_OUTPUT": text is waiting, a message box is waiting.
    static constexpr platform::WParam kOutputWaiting = 0;
    static constexpr platform::WParam kDialogWaiting = 6;
    static constexpr platform::WParam kButtonsWaiting = 7;
    // The most push buttons a run shows at once; a script creating more gets no more windows.
    static constexpr std::size_t kMaxButtons = 64;
    // First parameter of "ON_THREAD_DONE": a script thread subscribed with a window value (the
    // second parameter) ended, or main ended.
    static constexpr platform::WParam kScriptThreadEnded = 0;
    static constexpr platform::WParam kMainEnded = 1;

    explicit CIHTLView(CIHTLDocument& document, QWidget* parent = nullptr);
    ~CIHTLView() override;

    CIHTLEditor* editor() const { return m_editor; }
    void setPanes(OutputPane* output, OutputPane* assembly);
    State state() const { return m_state; }
    // The host a run asks for message boxes. Script threads share it, so that one still
    // waiting when the window goes never reaches a destroyed host.
    const std::shared_ptr<WindowHost>& host() const { return m_host; }
    // The push buttons the running script made, by their id.
    const std::map<std::uint32_t, std::unique_ptr<QPushButton>>& buttons() const { return m_buttons; }

    void run();
    // Asks the script to stop; the view returns to Stopped when main has ended.
    void stop();
    // Open and Save, through the file dialog in the data folder's "test" folder.
    void open();
    void save();
    // Loads a script file into the editor; false (editor unchanged) when it cannot be read.
    bool load(const std::string& file);
    // Writes the editor's text under `path` (a stored path) and makes it the document's path.
    bool saveAs(const std::string& path);
    // Opens the documentation browser on the script language page.
    void showHelp();
    // First showing: the document's file is loaded.
    void initialUpdate();

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

signals:
    void stateChanged(State state);
    // A script thread subscribed with `window` has ended.
    void scriptThreadEnded(qint64 window);

private:
    void setState(State state);
    void showOutput();
    void showDialogs();
    void changeButtons();
    void mainEnded();
    void rejectShownBox();

    CIHTLDocument& m_document;
    CIHTLEditor* m_editor;
    OutputPane* m_output = nullptr;
    OutputPane* m_assembly = nullptr;
    State m_state = State::Stopped;
    std::shared_ptr<OutputQueue> m_queue;
    std::shared_ptr<WindowHost> m_host;
    std::unique_ptr<RunController> m_controller;
    QPointer<QMessageBox> m_box;
    std::map<std::uint32_t, std::unique_ptr<QPushButton>> m_buttons;
};

} // namespace zeb::autotest
