#pragma once

#include "trace/core/TraceDisplaySettings.h"

#include <QColor>
#include <QFont>

namespace zeb::trace {

// The settings keep colours as 0x00BBGGRR and fonts as platform font descriptions; the widgets take Qt's forms.
QColor colourOf(std::uint32_t value);
std::uint32_t colourValue(const QColor& colour);
QFont fontOf(const FontDescription& description);
// The description of a chosen font; what Qt does not describe is kept from `base`.
FontDescription describe(const QFont& font, FontDescription base);

} // namespace zeb::trace
