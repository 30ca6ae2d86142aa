#pragma once

#include "app/connection/ConnectCommand.h"
#include "remote-display/core/KeyRepeat.h"
#include "remote-display/core/PanelSettings.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace zeb::connection {
class ConnectionKeeper;
}

namespace zeb::remote_display {

class CIHIMDocument;
class CWICORemoteDisplay;

// The front panel of the receiver: its outline with the painted keys, the display area at
// (96, 56), a popup menu on the menu key (Connect, Disconnect, Close, Properties). A held key
// repeats; whatever loses the hold (release, focus, a popup, hiding) stops the repeat. A click
// outside every key drags the window. The receiver's screen is switched on whenever the stream
// opens, and off when the view goes.
class CIHIMView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 370;

    explicit CIHIMView(CIHIMDocument& document, QWidget* parent = nullptr);
    ~CIHIMView() override;

    CWICORemoteDisplay* display() const { return m_display; }
    const PanelSettings& settings() const { return m_settings; }
    QAction* connectAction() const { return m_connect; }
    QAction* disconnectAction() const { return m_disconnect; }
    QAction* propertiesAction() const { return m_properties; }

    // Tests answer the connection sheet here instead of the dialog.
    using Sheet = std::function<std::optional<stream::StreamAddress>(const stream::StreamAddress&, std::string_view)>;
    void setSheet(Sheet sheet) { m_sheet = std::move(sheet); }
    // How a beep sounds (frequency in Hz, duration in ms); tests count them.
    using Beeper = std::function<void(int frequency, int duration)>;
    void setBeeper(Beeper beeper) { m_beeper = std::move(beeper); }
    // How the popup menu is shown; tests answer at once.
    using MenuRunner = std::function<void(QMenu& menu, const QPoint& at)>;
    void setMenuRunner(MenuRunner runner) { m_menuRunner = std::move(runner); }

    // A panel key pressed (sent, repeated while held) or typed (sent once).
    void pressKey(std::uint32_t code);
    void releaseKey();
    bool repeating() const { return m_repeatTimer.isActive(); }
    void sendKey(std::uint32_t code);
    void connectStream();
    void disconnectStream();
    void editProperties();
    // The outline of the panel, view coordinates.
    static QPolygon outline();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void streamOpened();
    void showMenu(const QPoint& at);
    void applyBackground();
    // Gives the frame the panel's size and outline (a maximised frame keeps its rectangle).
    void applyShape();
    void repeatTick();

    CIHIMDocument& m_document;
    CWICORemoteDisplay* m_display;
    PanelSettings m_settings;
    KeyRepeat m_repeat;
    QTimer m_repeatTimer;
    bool m_dragging = false;
    QPoint m_dragMouse;
    QPoint m_dragFrame;
    QAction* m_connect;
    QAction* m_disconnect;
    QAction* m_close;
    QAction* m_properties;
    Sheet m_sheet;
    Beeper m_beeper;
    MenuRunner m_menuRunner;
    std::unique_ptr<connection::ConnectionKeeper> m_keeper;
    stream::StreamAddress m_address;
};

} // namespace zeb::remote_display
