#pragma once

#include <QFont>

class QPainter;

namespace zeb::geometry {

struct SkyPicture;

// Paints a drawing pass of the sky plot: the sky below and above the mask, the diameters, the
// bevelled rings, then each satellite turned the way it moves, with its PRN on top.
class SkyPainter
{
public:
    SkyPainter();

    void paint(QPainter& painter, const SkyPicture& picture) const;

private:
    void paintSky(QPainter& painter, const SkyPicture& picture) const;
    void paintGlyphs(QPainter& painter, const SkyPicture& picture) const;

    QFont m_labelFont;
};

} // namespace zeb::geometry
