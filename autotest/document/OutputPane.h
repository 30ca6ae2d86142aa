#pragma once

#include <QPlainTextEdit>

namespace zeb::autotest {

// The Output and Assembly panes: read-only text that grows at its end. The pane keeps the
// newest kMaxLines lines, so a script printing in a loop cannot exhaust memory.
class OutputPane : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int kMaxLines = 10000;

    explicit OutputPane(QWidget* parent = nullptr);

    // Appends `text` at the end (CR LF line ends as scripts write them) and scrolls to it.
    // Every byte is text: clearing is clearPane(), never a character of the output.
    void append(const QString& text);
    void clearPane() { clear(); }
};

} // namespace zeb::autotest
