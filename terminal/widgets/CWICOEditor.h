#pragma once

#include "terminal/screen/InputLineHistory.h"

#include <QLineEdit>

#include <string>

namespace zeb::terminal {

// The screen view's input line. Enter sends the typed text with CR LF (lineEntered) and empties the line;
// Up and Down walk the history. While read-only (the view is inactive) Enter sends nothing, since there
// is no open stream to send to, but the history can still be browsed.
class CWICOEditor : public QLineEdit
{
    Q_OBJECT

public:
    explicit CWICOEditor(QWidget* parent = nullptr);

    const InputLineHistory& history() const { return m_history; }

signals:
    // The typed text followed by CR LF, emitted synchronously.
    void lineEntered(const std::string& textWithCrLf);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showSlot(std::string_view text);

    InputLineHistory m_history;
};

} // namespace zeb::terminal
