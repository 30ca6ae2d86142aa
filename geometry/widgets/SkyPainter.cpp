#include "geometry/widgets/SkyPainter.h"

#include "geometry/core/SkyPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace zeb::geometry {

namespace {

// Colours are kept as the receiver tools write them, 0xBBGGRR.
QColor colour(unsigned bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>(bgr >> 16));
}

constexpr unsigned kBackground = 0xC0C0C0;
constexpr unsigned kBelowMask = 0x808080;
constexpr unsigned kAboveMask = 0xEFD585;
constexpr unsigned kUsedPen = 0x0000FF;
constexpr unsigned kUnusedPen = 0xFF0000;
constexpr unsigned kUsedBrush = 0xFFFFFF;
constexpr int kDegrees16 = 16;
constexpr int kLabelPixels = 14;
constexpr double kGlyphRadius = 10.0;

QRectF square(double cx, double cy, double radius)
{
    return {cx - radius, cy - radius, 2 * radius, 2 * radius};
}

// A white arc over the upper left half and a black one over the lower right, or the other way round.
void bevel(QPainter& painter, const QRectF& ring, bool raised)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(raised ? Qt::white : Qt::black);
    painter.drawArc(ring, 45 * kDegrees16, 180 * kDegrees16);
    painter.setPen(raised ? Qt::black : Qt::white);
    painter.drawArc(ring, 225 * kDegrees16, 180 * kDegrees16);
}

} // namespace

SkyPainter::SkyPainter()
    : m_labelFont(QStringLiteral("Arial"))
{
    m_labelFont.setStyleHint(QFont::SansSerif);
    m_labelFont.setPixelSize(kLabelPixels);
    m_labelFont.setWeight(QFont::Black);
}

void SkyPainter::paint(QPainter& painter, const SkyPicture& picture) const
{
    painter.fillRect(QRect(0, 0, picture.width, picture.height), colour(kBackground));
    if (picture.radius > 0)
        paintSky(painter, picture);
    paintGlyphs(painter, picture);
}

void SkyPainter::paintSky(QPainter& painter, const SkyPicture& picture) const
{
    const double cx = picture.centreX;
    const double cy = picture.centreY;
    const double r = picture.radius;
    painter.setPen(colour(kBelowMask));
    painter.setBrush(colour(kBelowMask));
    painter.drawEllipse(square(cx, cy, r));
    painter.setBrush(colour(kAboveMask));
    painter.drawEllipse(square(cx, cy, picture.maskRadius));
    painter.drawLine(QPointF(cx - r, cy), QPointF(cx + r, cy));
    painter.drawLine(QPointF(cx, cy - r), QPointF(cx, cy + r));
    bevel(painter, square(cx, cy, r), true);
    bevel(painter, square(cx, cy, picture.maskRadius), false);
}

void SkyPainter::paintGlyphs(QPainter& painter, const SkyPicture& picture) const
{
    painter.setFont(m_labelFont);
    const QFontMetricsF metrics(m_labelFont);
    for (const SkyGlyph& glyph : picture.glyphs) {
        const QColor pen = colour(glyph.used ? kUsedPen : kUnusedPen);
        painter.setPen(pen);
        painter.setBrush(colour(glyph.used ? kUsedBrush : kBackground));
        const auto point = [&glyph](double a, double b) {
            const auto [x, y] = glyph.place(a, b);
            return QPointF(x, y);
        };
        painter.drawLine(point(-15, 0), point(15, 0));
        painter.drawEllipse(square(glyph.px, glyph.py, kGlyphRadius));
        painter.drawLine(point(-15, 7.5), point(-15, -7.5));
        painter.drawLine(point(15, 7.5), point(15, -7.5));
        const QPointF nose[] = {point(-10, 10), point(0, 15), point(10, 10)};
        painter.drawPolyline(nose, 3);
        const QString label = QString::number(glyph.prn);
        const QSizeF extent = metrics.boundingRect(label).size();
        painter.setPen(Qt::black);
        painter.drawText(QPointF(glyph.px - extent.width() * 0.5, glyph.py + extent.height() * 0.5 - metrics.descent()),
                         label);
    }
}

} // namespace zeb::geometry
