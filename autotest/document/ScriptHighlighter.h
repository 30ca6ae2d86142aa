#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace zeb::autotest {

// Colours the script language's reserved words, literals and comments in the editor.
class ScriptHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit ScriptHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_reserved;
    QTextCharFormat m_literal;
    QTextCharFormat m_comment;
};

} // namespace zeb::autotest
