#pragma once

#include "remote-display/core/DisplayReceiver.h"

#include <QWidget>

#include <cstdint>
#include <span>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::remote_display {

// The receiver's 320 x 240 display: it receives the display lists of its stream and paints the
// last complete one on the background colour; typed keys and left clicks go back as requests.
class CWICORemoteDisplay : public QWidget
{
    Q_OBJECT

public:
    explicit CWICORemoteDisplay(QWidget* parent = nullptr);

    void attach(stream::IOSTStream* stream);
    stream::IOSTStream* stream() const { return m_receiver.stream(); }
    // 0xBBGGRR.
    void setBackground(std::uint32_t color);
    const DisplayList& list() const { return m_receiver.list(); }

    // Paints a display list as this widget does.
    static void paintDisplay(QPainter& painter, std::span<const std::uint8_t> list, std::uint32_t background);

signals:
    // A key of the keyboard that stands for a panel key or a character.
    void keyTyped(std::uint32_t code);
    void listCompleted();
    void streamOpened();
    void streamClosed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Tab is a panel key here, not a move to the next widget.
    bool focusNextPrevChild(bool) override { return false; }

private:
    DisplayReceiver m_receiver;
    std::uint32_t m_background = 0xFFFFFF;
};

} // namespace zeb::remote_display
