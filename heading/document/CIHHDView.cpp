#include "heading/document/CIHHDView.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/language/qt/Resources.h"
#include "heading/document/CIHHDCalibrationDialog.h"
#include "heading/document/CIHHDDocument.h"
#include "heading/document/CWICOHeadingWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace zeb::heading {

namespace {

const QColor kBackground(0xC0, 0xC0, 0xC0);

// The corner icon when the language library has none: an arrow toward where the panel goes.
QPixmap drawnCornerIcon(bool panelOpen)
{
    QPixmap icon(CIHHDView::kCornerSize, CIHHDView::kCornerSize);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
    painter.drawRoundedRect(QRectF(4.5, 4.5, 23, 23), 4, 4);
    QPainterPath arrow;
    const double tip = panelOpen ? 21 : 11;
    const double back = panelOpen ? 11 : 21;
    arrow.moveTo(back, 9);
    arrow.lineTo(tip, 16);
    arrow.lineTo(back, 23);
    arrow.closeSubpath();
    painter.fillPath(arrow, QColor(0x20, 0x20, 0x20));
    return icon;
}

} // namespace

CIHHDView::CIHHDView(CIHHDDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_compass(new CWICOHeadingWidget(this))
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    m_compass->setCornerIcon(cornerIcon(false));
    QObject::connect(m_compass, &CWICOHeadingWidget::pressed, this,
                     [this](QMouseEvent* event) { onCompassPressed(event); });
}

CIHHDView::~CIHHDView()
{
    // The panel stops a running calibration while the stream is still known.
    delete m_panel.data();
}

CIHHDCalibrationDialog* CIHHDView::panel() const
{
    return m_panel.data();
}

QPixmap CIHHDView::cornerIcon(bool panelOpen) const
{
    const QPixmap icon = language::Resources::pixmap(panelOpen ? "IDI_IHHD_CLOSE_ICON" : "IDI_IHHD_OPEN_ICON");
    return icon.isNull() ? drawnCornerIcon(panelOpen) : icon;
}

void CIHHDView::initialUpdate()
{
    const QString title = language::Resources::string(32400);
    m_document.setTitle(title.isEmpty() ? std::string("Heading") : title.toStdString());
    m_compass->attach(m_document.stream());
    if (m_document.state().calibrationOpen)
        openPanel(false);
    layOut();
}

void CIHHDView::onCompassPressed(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF at = event->position();
    if (at.x() >= m_compass->width() - kCornerSize && at.y() >= m_compass->height() - kCornerSize)
        togglePanel();
}

void CIHHDView::togglePanel()
{
    if (m_panel)
        closePanel();
    else
        openPanel(true);
}

void CIHHDView::openPanel(bool widenFrame)
{
    if (m_panel)
        return;
    m_document.state().calibrationOpen = true;
    m_panel = new CIHHDCalibrationDialog(m_document.stream(), m_document.state(), this);
    if (widenFrame)
        resizeFrame(m_panel->sizeHint().width());
    m_panel->show();
    m_compass->setCornerIcon(cornerIcon(true));
    layOut();
    m_panel->open();
}

void CIHHDView::closePanel()
{
    if (!m_panel)
        return;
    m_document.state().calibrationOpen = false;
    const int width = m_panel->width();
    m_panel->hide();
    delete m_panel.data();
    resizeFrame(-width);
    m_compass->setCornerIcon(cornerIcon(false));
    layOut();
}

void CIHHDView::resizeFrame(int widthChange)
{
    if (QWidget* frame = m_document.frame())
        frame->resize(std::max(frame->minimumWidth(), frame->width() + widthChange), frame->height());
}

void CIHHDView::resizeEvent(QResizeEvent*)
{
    layOut();
}

void CIHHDView::layOut()
{
    if (!m_panel) {
        m_compass->setGeometry(rect());
        return;
    }
    const int panelWidth = std::min(m_panel->sizeHint().width(), width());
    m_panel->setGeometry(width() - panelWidth, 0, panelWidth, height());
    m_compass->setGeometry(0, 0, width() - panelWidth, height());
}

} // namespace zeb::heading
