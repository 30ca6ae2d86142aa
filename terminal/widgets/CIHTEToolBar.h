#pragma once

#include "terminal/core/Dictionary.h"

#include <QWidget>

#include <string>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace zeb::terminal {

// The terminal's tool bar "IDD_IHTE_TOOLBAR": a drop-down list of the telecommands of its dictionary
// (read from DictionaryPlaces::toolBarDictionary() when the bar is created) and the terminal's buttons.
// The output filter button edits the dictionary and refills the list; the other buttons are the view's
// commands and are only signalled.
//
// Object names: the list "IDC_IHTE_DICTIONARY"; each button is named after its icon ("IDI_IHTE_SEND",
// "IDI_IHTE_SEND_FILE", "IDI_IHTE_SUSPEND", "IDI_IHTE_OPTION", "IDI_IHTE_CLEAR", "IDI_IHTE_INPUT_FILTER",
// "IDI_IHTE_OUTPUT_FILTER", "IDI_IHTE_LOG", "IDI_IHTE_FIND_PREVIOUS", "IDI_IHTE_FIND_NEXT"); the find text
// "IDC_IHTE_FIND". The log button starts a text log, or stops the running one; its menu's action
// "IDM_IHTE_LOG_RAW" starts a log of the raw bytes.
class CIHTEToolBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_IHTE_TOOLBAR";

    explicit CIHTEToolBar(QWidget* parent = nullptr);

    Dictionary& dictionary() { return m_dictionary; }
    QComboBox* list() const { return m_list; }
    QToolButton* button(const char* iconName) const;

    // Fills the list again from the dictionary, in order, with nothing selected.
    void refill();
    // The view's stream state: send, send file and suspend work only while the stream is open.
    void setStreamOpen(bool open);
    void setSuspended(bool suspended);
    void setLogging(bool logging);
    QLineEdit* findText() const { return m_find; }

public slots:
    // The send button: the selected entry's value, nothing without a selection.
    void send();
    // The output filter button: the dictionary editor on this bar's dictionary, then the list again.
    void editDictionary();

signals:
    void sendRequested(const std::string& value);
    void sendFile();
    void suspend();
    void options();
    void clear();
    void inputFilter();
    // Start a log (raw: the received bytes, else the text shown) or stop the running one.
    void log(bool raw);
    void find(const std::string& text, bool forward);

private:
    QToolButton* addButton(const char* iconName, const QString& fallback);
    void addLogAndFind();

    Dictionary m_dictionary;
    QComboBox* m_list = nullptr;
    QToolButton* m_send = nullptr;
    QToolButton* m_sendFile = nullptr;
    QToolButton* m_suspend = nullptr;
    QToolButton* m_log = nullptr;
    QLineEdit* m_find = nullptr;
    bool m_suspended = false;
};

} // namespace zeb::terminal
