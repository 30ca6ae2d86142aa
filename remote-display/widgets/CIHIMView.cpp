#include "remote-display/widgets/CIHIMView.h"

#include "app/connection/ConnectionKeeper.h"
#include "app/connection/qt/ConnectDialogs.h"
#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/DialogRunner.h"
#include "platform/Settings.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/PanelRequests.h"
#include "remote-display/widgets/CIHIMDocument.h"
#include "remote-display/widgets/CIHIMPropertiesDialog.h"
#include "remote-display/widgets/CWICORemoteDisplay.h"
#include "stream/IOSTStream.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace zeb::remote_display {

namespace {

constexpr QPoint kDisplayAt{96, 56};
constexpr QColor kBody{58, 62, 70};
constexpr QColor kKey{205, 208, 214};

} // namespace

CIHIMView::CIHIMView(CIHIMDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_display(new CWICORemoteDisplay(this))
    , m_settings(PanelSettings::read(platform::Settings::current()))
    , m_connect(new QAction(tr("Connect"), this))
    , m_disconnect(new QAction(tr("Disconnect"), this))
    , m_close(new QAction(tr("Close"), this))
    , m_properties(new QAction(tr("Properties"), this))
    , m_beeper([](int, int) { QApplication::beep(); })
    , m_menuRunner([](QMenu& menu, const QPoint& at) { menu.exec(at); })
{
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    m_display->move(kDisplayAt);
    applyBackground();
    m_repeatTimer.setSingleShot(true);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CIHIMView::repeatTick);
    connect(m_display, &CWICORemoteDisplay::keyTyped, this, &CIHIMView::sendKey);
    connect(m_display, &CWICORemoteDisplay::streamOpened, this, &CIHIMView::streamOpened);
    connect(m_display, &CWICORemoteDisplay::streamClosed, this, [this] { m_display->hide(); });
    connect(m_connect, &QAction::triggered, this, &CIHIMView::connectStream);
    connect(m_disconnect, &QAction::triggered, this, &CIHIMView::disconnectStream);
    connect(m_close, &QAction::triggered, this, [this] { m_document.close(); });
    connect(m_properties, &QAction::triggered, this, &CIHIMView::editProperties);

    stream::IOSTStream* stream = document.stream();
    m_display->attach(stream);
    m_display->setVisible(stream && stream->isOpen());
    if (stream && stream->isOpen())
        PanelRequests::sendSentence(*stream, PanelRequests::kScreenOn);
}

CIHIMView::~CIHIMView()
{
    releaseKey();
    m_settings.write(platform::Settings::current());
    if (stream::IOSTStream* stream = m_display->stream())
        PanelRequests::sendSentence(*stream, PanelRequests::kScreenOff);
    m_display->attach(nullptr);
}

QPolygon CIHIMView::outline()
{
    // The panel's shape: its rectangle with rounded corners, seven points on each corner's arc.
    constexpr int kRadius = 24;
    constexpr int kPointsPerCorner = 7;
    const QPoint centres[] = {{kWidth - kRadius, kRadius},
                              {kWidth - kRadius, kHeight - kRadius},
                              {kRadius, kHeight - kRadius},
                              {kRadius, kRadius}};
    QPolygon shape;
    for (int corner = 0; corner < 4; ++corner) {
        for (int i = 0; i < kPointsPerCorner; ++i) {
            const double angle = (corner - 1 + static_cast<double>(i) / (kPointsPerCorner - 1)) * M_PI / 2;
            shape << centres[corner]
                    + QPoint(static_cast<int>(std::lround(kRadius * std::cos(angle))),
                             static_cast<int>(std::lround(kRadius * std::sin(angle))));
        }
    }
    return shape;
}

void CIHIMView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBody);
    painter.drawPolygon(outline());
    painter.setBrush(kKey);
    painter.setFont(QFont(QStringLiteral("Sans"), 9, QFont::Bold));
    for (const HotSpot& spot : PanelKeys::hotSpots()) {
        const QRect rect(QPoint(spot.left, spot.top), QPoint(spot.right, spot.bottom));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(rect, 6, 6);
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignCenter, QString::fromLatin1(spot.label));
    }
}

void CIHIMView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applyShape();
}

void CIHIMView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyShape();
}

void CIHIMView::applyShape()
{
    QWidget* frame = m_document.frame();
    if (!frame || !frame->isAncestorOf(this))
        return;
    if (frame->isMaximized()) {
        frame->clearMask();
        return;
    }
    // The frame is at least as large as the panel, whatever placement it was given.
    const QPoint offset = mapTo(frame, QPoint(0, 0));
    frame->resize(frame->size().expandedTo(QSize(offset.x() + kWidth, offset.y() + kHeight)));
    frame->setMask(QRegion(outline().translated(offset)));
}

void CIHIMView::applyBackground()
{
    m_display->setBackground(m_settings.contrast.background(m_settings.color));
}

void CIHIMView::streamOpened()
{
    stream::IOSTStream* stream = m_display->stream();
    if (!stream)
        return;
    m_display->show();
    PanelRequests::sendSentence(*stream, PanelRequests::kScreenOn);
}

void CIHIMView::sendKey(std::uint32_t code)
{
    if (code == key_code::Contrast) {
        m_settings.contrast.step();
        applyBackground();
        return;
    }
    if (stream::IOSTStream* stream = m_display->stream())
        PanelRequests::sendKey(*stream, code);
}

void CIHIMView::pressKey(std::uint32_t code)
{
    if (m_settings.pressed.on)
        m_beeper(m_settings.pressed.frequency, m_settings.pressed.duration);
    sendKey(code);
    m_repeatTimer.start(m_repeat.press(code));
}

void CIHIMView::releaseKey()
{
    m_repeat.release();
    m_repeatTimer.stop();
}

void CIHIMView::repeatTick()
{
    const auto code = m_repeat.tick();
    if (!code)
        return;
    sendKey(*code);
    m_repeatTimer.start(KeyRepeat::kInterval);
}

void CIHIMView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const HotSpot* spot = PanelKeys::at(at.x(), at.y());
    if (!spot) {
        QWidget* frame = m_document.frame();
        m_dragging = frame != nullptr;
        m_dragMouse = event->globalPosition().toPoint();
        m_dragFrame = frame ? frame->pos() : QPoint();
        return;
    }
    if (spot->code == key_code::Menu) {
        showMenu(event->globalPosition().toPoint());
        return;
    }
    pressKey(spot->code);
}

void CIHIMView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CIHIMView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasHeld = m_repeat.held();
    releaseKey();
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    if (wasHeld && m_settings.released.on)
        m_beeper(m_settings.released.frequency, m_settings.released.duration);
}

void CIHIMView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    setCursor(PanelKeys::at(at.x(), at.y()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (!m_dragging)
        return;
    if (QWidget* frame = m_document.frame())
        frame->move(m_dragFrame + event->globalPosition().toPoint() - m_dragMouse);
}

bool CIHIMView::event(QEvent* event)
{
    // The release that would end a held key may never come: stop repeating.
    switch (event->type()) {
    case QEvent::FocusOut:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse:
    case QEvent::Leave:
        releaseKey();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void CIHIMView::showMenu(const QPoint& at)
{
    releaseKey();
    const stream::IOSTStream* stream = m_display->stream();
    const bool open = stream && stream->isOpen();
    m_connect->setEnabled(stream && !open);
    m_disconnect->setEnabled(stream && open);
    QMenu menu(this);
    menu.addActions({m_connect, m_disconnect, m_close, m_properties});
    m_menuRunner(menu, at);
}

void CIHIMView::connectStream()
{
    stream::IOSTStream* stream = m_display->stream();
    if (!stream)
        return;
    if (!m_keeper) {
        connection::ConnectionKeeper::Hooks hooks;
        hooks.post = [this](std::function<void()> task) {
            QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
        };
        hooks.schedule = [this](std::chrono::milliseconds pause, std::function<void()> task) {
            QTimer::singleShot(pause, this, std::move(task));
        };
        hooks.changed = [] {};
        m_keeper = std::make_unique<connection::ConnectionKeeper>(*stream, std::move(hooks));
    }
    connection::ConnectCommand::Hooks hooks
        = connection::connectDialogHooks(this, [this](const stream::IOSTStream& opened) {
              m_settings.path = opened.address();
              m_settings.write(platform::Settings::current());
              m_display->show();
          });
    if (m_sheet)
        hooks.runSheet = m_sheet;
    hooks.open = [this](const stream::StreamAddress& address, std::function<void(bool)> done) {
        m_keeper->open(address, std::move(done));
    };
    connection::ConnectCommand::make(*stream, m_address, std::move(hooks))->run();
}

void CIHIMView::disconnectStream()
{
    m_display->hide();
    if (m_keeper)
        m_keeper->close();
    else if (stream::IOSTStream* stream = m_display->stream())
        stream->close();
}

void CIHIMView::editProperties()
{
    CIHIMPropertiesDialog dialog(m_settings, this);
    if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
        return;
    m_settings = dialog.settings();
    m_settings.write(platform::Settings::current());
    applyBackground();
}

} // namespace zeb::remote_display
