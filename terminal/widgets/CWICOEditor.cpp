#include "terminal/widgets/CWICOEditor.h"

#include <QKeyEvent>

namespace zeb::terminal {

CWICOEditor::CWICOEditor(QWidget* parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("CWICOEditor"));
    setFrame(false);
}

void CWICOEditor::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        event->accept();
        if (isReadOnly()) {
            return;
        }
        const QByteArray typed = text().toUtf8();
        const std::string line
            = m_history.enter(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
        clear();
        emit lineEntered(line);
        return;
    }
    case Qt::Key_Up:
        event->accept();
        showSlot(m_history.up());
        return;
    case Qt::Key_Down:
        event->accept();
        showSlot(m_history.down());
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CWICOEditor::showSlot(std::string_view text)
{
    setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace zeb::terminal
