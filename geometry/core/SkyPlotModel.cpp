#include "geometry/core/SkyPlotModel.h"

namespace zeb::geometry {

SkyPlotModel::SkyPlotModel()
{
    m_picture.glyphs.reserve(SkyTable::kShown);
}

bool SkyPlotModel::receive(std::string_view sentence)
{
    return m_reader.read(sentence, m_table) == SkySentence::GroupEnd;
}

const SkyPicture& SkyPlotModel::draw(int width, int height)
{
    m_plotter.draw(m_table, width, height, m_picture);
    return m_picture;
}

} // namespace zeb::geometry
