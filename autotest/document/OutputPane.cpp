#include "autotest/document/OutputPane.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextCursor>

namespace zeb::autotest {

OutputPane::OutputPane(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(kMaxLines);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void OutputPane::append(const QString& text)
{
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    // Only the lines the pane keeps are worth laying out.
    qsizetype from = shown.size();
    for (int lines = 0; lines < kMaxLines && from > 0; ++lines)
        from = shown.lastIndexOf(QLatin1Char('\n'), from - 1);
    if (from > 0) {
        clear();
        shown.remove(0, from + 1);
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    setTextCursor(end);
    ensureCursorVisible();
}

} // namespace zeb::autotest
