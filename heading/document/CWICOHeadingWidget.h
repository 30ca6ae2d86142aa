#pragma once

#include "heading/core/HeadingDisplay.h"
#include "heading/core/HeadingSentenceReader.h"
#include "platform/MessageTarget.h"

#include <QPixmap>
#include <QWidget>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::heading {

// The compass: a card turned so that the displayed heading stands under the red pointer at the
// top, the heading written in its centre, the standard deviation and satellite count when the
// receiver gives them, and the view's corner icon. Its window subscribes to the stream and
// reads the heading sentences while the stream's thread waits; each step of a turn is drawn at
// once. Presses on the card's outer ring are kept; every other press and release goes to the
// view (pressed / released).
class CWICOHeadingWidget : public QWidget, public platform::MessageTarget
{
    Q_OBJECT

public:
    explicit CWICOHeadingWidget(QWidget* parent = nullptr);
    ~CWICOHeadingWidget() override;

    // Leaves the stream it had (if any) and subscribes to `stream` (none: stays detached).
    void attach(stream::IOSTStream* stream);
    void detach();
    void setCornerIcon(const QPixmap& icon);

    const HeadingDisplay& display() const { return m_display; }
    // The card as last drawn.
    const QPixmap& card() const { return m_card; }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

signals:
    void pressed(QMouseEvent* event);
    void released(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void redraw();
    void render();

    HeadingDisplay m_display;
    HeadingSentenceReader m_reader;
    QPixmap m_card;
    QPixmap m_cornerIcon;
    stream::IOSTStream* m_stream = nullptr;
};

} // namespace zeb::heading
