#include "autotest/document/CIHTLEditor.h"

#include "autotest/core/Indentation.h"
#include "autotest/document/ScriptHighlighter.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

namespace zeb::autotest {
namespace {

std::u16string_view view(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

class CIHTLEditor::Margin : public QWidget
{
public:
    explicit Margin(CIHTLEditor& editor)
        : QWidget(&editor)
        , m_editor(editor)
    {
    }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor.paintMargin(event); }

private:
    CIHTLEditor& m_editor;
};

CIHTLEditor::CIHTLEditor(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_margin(new Margin(*this))
    , m_highlighter(new ScriptHighlighter(document()))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
    setViewportMargins(kMargin, 0, 0, 0);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            m_margin->scroll(0, dy);
        else
            m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    });
}

void CIHTLEditor::toggleMarker()
{
    const int line = textCursor().blockNumber();
    if (!m_markers.erase(line))
        m_markers.insert(line);
    m_margin->update();
}

void CIHTLEditor::goToNextMarker()
{
    if (m_markers.empty())
        return;
    const auto next = m_markers.upper_bound(textCursor().blockNumber());
    const int line = next == m_markers.end() ? *m_markers.begin() : *next;
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CIHTLEditor::setErrorLine(int line)
{
    m_errorLine = line;
    m_margin->update();
}

void CIHTLEditor::placeCaretAtByte(std::size_t offset)
{
    const QByteArray bytes = toPlainText().toUtf8();
    const auto end = static_cast<qsizetype>(std::min<std::size_t>(offset, static_cast<std::size_t>(bytes.size())));
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(QString::fromUtf8(bytes.left(end)).size()));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CIHTLEditor::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        const std::size_t tabs = Indentation::afterEnter(view(textCursor().block().text()));
        textCursor().insertText(QStringLiteral("\n") + QString(static_cast<qsizetype>(tabs), QLatin1Char('\t')));
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (event->text() != QStringLiteral("}"))
        return;
    const QTextBlock block = textCursor().block();
    if (!Indentation::closeRemovesTab(view(block.text())))
        return;
    QTextCursor first(block);
    first.deleteChar();
}

void CIHTLEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_margin->setGeometry(area.left(), area.top(), kMargin, area.height());
}

void CIHTLEditor::paintMargin(QPaintEvent*)
{
    QPainter painter(m_margin);
    painter.fillRect(m_margin->rect(), palette().window());
    painter.setRenderHint(QPainter::Antialiasing);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > viewport()->height())
            break;
        const int line = block.blockNumber();
        const bool marked = m_markers.contains(line);
        if (!marked && line != m_errorLine)
            continue;
        const int height = std::min(12, static_cast<int>(box.height()));
        const QRect dot(2, static_cast<int>(box.top() + (box.height() - height) / 2), 12, height);
        painter.setPen(Qt::NoPen);
        painter.setBrush(line == m_errorLine ? QColor(0xD0, 0x20, 0x20) : QColor(0x20, 0x50, 0xC0));
        painter.drawEllipse(dot);
    }
}

} // namespace zeb::autotest
