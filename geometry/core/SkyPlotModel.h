#pragma once

#include "geometry/core/SkyPicture.h"
#include "geometry/core/SkyPlotter.h"
#include "geometry/core/SkySentenceReader.h"
#include "geometry/core/SkyTable.h"

#include <array>
#include <chrono>
#include <string_view>

namespace zeb::geometry {

// The sky plot without a window: the satellite table the receiver's sentences fill and the
// drawing passes over it. The window and the command-line tool run the same one.
class SkyPlotModel
{
public:
    // Sent to the receiver, in this order, once every period.
    static constexpr std::array<std::string_view, 3> kQueries{"$ECGPQ,GSA\r\n", "$ECGPQ,GSV\r\n", "$PKVR,SVDSEL\r\n"};
    static constexpr std::chrono::milliseconds kPollPeriod{1000};
    static constexpr int kPollTimer = 10;

    SkyPlotModel();

    // Reads one received sentence; true when it ends a satellite group and the plot is due for a redraw.
    bool receive(std::string_view sentence);
    // One drawing pass for a client area of that size; the picture stays valid until the next pass.
    const SkyPicture& draw(int width, int height);

    // The latest pass.
    const SkyPicture& picture() const { return m_picture; }
    const SkyTable& table() const { return m_table; }
    // Forgets every satellite (the positions and directions of earlier passes stay).
    void reset() { m_table.reset(); }

private:
    SkyTable m_table;
    SkySentenceReader m_reader;
    SkyPlotter m_plotter;
    SkyPicture m_picture;
};

} // namespace zeb::geometry
