#include "remote-display/widgets/CWICORemoteDisplay.h"

#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/PanelRequests.h"
#include "remote-display/widgets/QtDisplayPainter.h"
#include "stream/IOSTStream.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zeb::remote_display {

namespace {

std::optional<KeyboardKey> keyboardKey(int key)
{
    switch (key) {
    case Qt::Key_F1:
        return KeyboardKey::F1;
    case Qt::Key_F2:
        return KeyboardKey::F2;
    case Qt::Key_F3:
        return KeyboardKey::F3;
    case Qt::Key_F4:
        return KeyboardKey::F4;
    case Qt::Key_F5:
        return KeyboardKey::F5;
    case Qt::Key_Up:
        return KeyboardKey::Up;
    case Qt::Key_Down:
        return KeyboardKey::Down;
    case Qt::Key_Left:
        return KeyboardKey::Left;
    case Qt::Key_Right:
        return KeyboardKey::Right;
    case Qt::Key_Escape:
        return KeyboardKey::Escape;
    case Qt::Key_Tab:
        return KeyboardKey::Tab;
    default:
        return std::nullopt;
    }
}

} // namespace

CWICORemoteDisplay::CWICORemoteDisplay(QWidget* parent)
    : QWidget(parent)
    , m_receiver({[this] {
                      update();
                      emit listCompleted();
                  },
                  [this] { emit streamOpened(); }, [this] { emit streamClosed(); }})
{
    setFixedSize(DisplayInterpreter::kWidth, DisplayInterpreter::kHeight);
    setFocusPolicy(Qt::StrongFocus);
}

void CWICORemoteDisplay::attach(stream::IOSTStream* stream)
{
    m_receiver.attach(stream);
}

void CWICORemoteDisplay::setBackground(std::uint32_t color)
{
    m_background = color & 0xFFFFFF;
    update();
}

void CWICORemoteDisplay::paintDisplay(QPainter& painter, std::span<const std::uint8_t> list, std::uint32_t background)
{
    painter.fillRect(0, 0, DisplayInterpreter::kWidth, DisplayInterpreter::kHeight,
                     QtDisplayPainter::color(background));
    painter.setClipRect(0, 0, DisplayInterpreter::kWidth, DisplayInterpreter::kHeight);
    QtDisplayPainter drawer(painter);
    DisplayInterpreter::paint(list, drawer);
}

void CWICORemoteDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintDisplay(painter, m_receiver.list().shown(), m_background);
}

void CWICORemoteDisplay::keyPressEvent(QKeyEvent* event)
{
    if (const auto key = keyboardKey(event->key())) {
        emit keyTyped(PanelKeys::code(*key));
        return;
    }
    const QString text = event->text();
    if (text.size() == 1) {
        if (const auto code = PanelKeys::characterCode(text.at(0).unicode())) {
            emit keyTyped(*code);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CWICORemoteDisplay::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !stream())
        return;
    const QPoint at = event->position().toPoint();
    PanelRequests::sendClick(*stream(), at.x(), at.y());
}

void CWICORemoteDisplay::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

} // namespace zeb::remote_display
