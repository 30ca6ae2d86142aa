#include "heading/document/CWICOHeadingWidget.h"

#include "heading/core/CompassLayout.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace zeb::heading {

namespace {

// Colours as the receiver tools have always drawn the compass.
const QColor kBackground(0xC0, 0xC0, 0xC0);
const QColor kOuterDisc(0xFF, 0xFF, 0xC8);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kInvalidText(0xE6, 0xE6, 0xE6);
constexpr int kCornerIcon = 32;

// A font's height here is that of its whole character cell (ascent and descent), not its em size.
QFont arial(double cellHeight)
{
    QFont font(QStringLiteral("Arial"));
    font.setWeight(QFont::Black);
    font.setPixelSize(std::max(1, static_cast<int>(cellHeight)));
    const double cell = QFontMetricsF(font).height();
    if (cell > 0)
        font.setPixelSize(std::max(1, static_cast<int>(cellHeight * cellHeight / cell)));
    return font;
}

QPointF point(const CompassLayout::Point& p)
{
    return {p.x, p.y};
}

void drawCard(QPainter& painter, const CompassLayout& layout)
{
    const double r = layout.radius();
    const QPointF centre = point(layout.centre());
    painter.setPen(Qt::black);
    painter.setBrush(kOuterDisc);
    painter.drawEllipse(centre, r, r);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, 0.75 * r, 0.75 * r);
    if (!layout.showsTicks())
        return;
    painter.setPen(kBlue);
    for (const CompassLayout::Tick& tick : layout.ticks())
        painter.drawLine(point(tick.inner), point(tick.outer));
    const QFont font = arial(layout.labelFontHeight());
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    for (const CompassLayout::Label& label : layout.labels()) {
        const QString text = QString::number(label.angle, 'f', 0);
        painter.save();
        painter.translate(point(label.anchor));
        painter.rotate(label.rotation);
        const double width = metrics.horizontalAdvance(text);
        painter.drawText(QPointF(-width / 2, -metrics.descent()), text);
        painter.restore();
    }
}

void drawPointer(QPainter& painter, const CompassLayout& layout)
{
    QPainterPath path;
    const auto corners = layout.pointer();
    path.moveTo(point(corners[0]));
    path.lineTo(point(corners[1]));
    path.lineTo(point(corners[2]));
    path.closeSubpath();
    painter.fillPath(path, kRed);
}

// The whole degrees, a degree sign and the tenths digit, centred together on a baseline a
// quarter of the large text's height below the centre.
void drawHeading(QPainter& painter, const CompassLayout& layout, const HeadingDisplay& display)
{
    const QFont large = arial(layout.headingFontHeight());
    const QFont small = arial(layout.tenthsFontHeight());
    const QString whole = QString::fromStdString(display.wholeText());
    const QString degree = QString(QChar(0x00B0));
    const QString tenths = QString::fromStdString(display.tenthsText());
    const QFontMetricsF largeMetrics(large);
    const QFontMetricsF smallMetrics(small);
    const double wholeWidth = largeMetrics.horizontalAdvance(whole);
    const double degreeWidth = largeMetrics.horizontalAdvance(degree);
    const double total = wholeWidth + degreeWidth + smallMetrics.horizontalAdvance(tenths);
    const double baseline = layout.centre().y + layout.headingFontHeight() / 4;
    double x = layout.centre().x - total / 2;
    painter.setPen(display.valid() ? kBlue : kInvalidText);
    painter.setFont(large);
    painter.drawText(QPointF(x, baseline), whole);
    x += wholeWidth;
    painter.drawText(QPointF(x, baseline), degree);
    x += degreeWidth;
    painter.setFont(small);
    painter.drawText(QPointF(x, baseline), tenths);
}

void drawFigures(QPainter& painter, const CompassLayout& layout, const HeadingDisplay& display)
{
    const QFont font = arial(layout.smallFontHeight());
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(kBlue);
    const double cx = layout.centre().x;
    const double half = layout.radius() / 2;
    if (display.hasDeviation()) {
        const QString text = QString::fromStdString(display.deviationText());
        painter.drawText(QPointF(cx - metrics.horizontalAdvance(text) / 2, layout.centre().y + half + metrics.ascent()),
                         text);
    }
    if (display.hasSatellites()) {
        const QString text = QString::fromStdString(display.satellitesText());
        painter.drawText(
            QPointF(cx - metrics.horizontalAdvance(text) / 2, layout.centre().y - half - metrics.descent()), text);
    }
}

} // namespace

CWICOHeadingWidget::CWICOHeadingWidget(QWidget* parent)
    : QWidget(parent)
    , m_display([this] { redraw(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CWICOHeadingWidget::~CWICOHeadingWidget()
{
    detach();
}

void CWICOHeadingWidget::attach(stream::IOSTStream* stream)
{
    detach();
    m_stream = stream;
    if (m_stream)
        m_stream->subscribeWindow(handle());
}

void CWICOHeadingWidget::detach()
{
    if (m_stream)
        m_stream->unsubscribeWindow(handle());
    m_stream = nullptr;
}

void CWICOHeadingWidget::setCornerIcon(const QPixmap& icon)
{
    m_cornerIcon = icon;
    redraw();
}

platform::LResult CWICOHeadingWidget::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    if (message != stream::StreamRegistry::messages().receive)
        return 0;
    const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
    if (event && event->kind == messages::MessageKind::Telecommand)
        m_display.apply(m_reader.read(event->text()));
    return 0;
}

void CWICOHeadingWidget::redraw()
{
    render();
    // At once: the steps of a turn are each seen.
    if (isVisible())
        repaint();
}

void CWICOHeadingWidget::render()
{
    if (width() <= 0 || height() <= 0)
        return;
    if (m_card.size() != size())
        m_card = QPixmap(size());
    m_card.fill(kBackground);
    QPainter painter(&m_card);
    painter.setRenderHint(QPainter::Antialiasing);
    const CompassLayout layout(width(), height(), m_display.displayed());
    drawCard(painter, layout);
    drawPointer(painter, layout);
    drawHeading(painter, layout, m_display);
    drawFigures(painter, layout, m_display);
    if (!m_cornerIcon.isNull())
        painter.drawPixmap(width() - kCornerIcon, height() - kCornerIcon, m_cornerIcon);
}

void CWICOHeadingWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_card);
}

void CWICOHeadingWidget::resizeEvent(QResizeEvent*)
{
    render();
}

void CWICOHeadingWidget::mousePressEvent(QMouseEvent* event)
{
    const CompassLayout layout(width(), height(), m_display.displayed());
    if (layout.onRing(event->position().x(), event->position().y()))
        return;
    emit pressed(event);
}

void CWICOHeadingWidget::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event);
}

} // namespace zeb::heading
