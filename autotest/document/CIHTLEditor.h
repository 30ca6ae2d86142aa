#pragma once

#include <QPlainTextEdit>

#include <set>

namespace zeb::autotest {

class ScriptHighlighter;

// The script editor: tab indentation as one types, coloured reserved words, literals and
// comments, and a left margin with the line markers and the line of the last syntax error.
class CIHTLEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int kMargin = 20;

    explicit CIHTLEditor(QWidget* parent = nullptr);

    // Line markers, by line number from 0; nothing else reads them.
    void toggleMarker();
    void goToNextMarker();
    const std::set<int>& markers() const { return m_markers; }
    // The line marked as holding a syntax error (-1: none).
    void setErrorLine(int line);
    int errorLine() const { return m_errorLine; }
    // Puts the caret at a place of the text counted in bytes of its UTF-8 form (as the
    // compiler counts).
    void placeCaretAtByte(std::size_t offset);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Margin;
    void paintMargin(QPaintEvent* event);

    Margin* m_margin;
    ScriptHighlighter* m_highlighter;
    std::set<int> m_markers;
    int m_errorLine = -1;
};

} // namespace zeb::autotest
