#include "geometry/core/SkyPicture.h"

#include "text/Format.h"

namespace zeb::geometry {

std::string SkyPicture::title() const
{
    return text::format("Geometry - %u/%u SV", used, visible);
}

} // namespace zeb::geometry
