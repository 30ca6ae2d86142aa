#include "terminal/screen/ScrollAxis.h"

#include <algorithm>

namespace zeb::terminal {

void ScrollAxis::setMaximum(int maximum)
{
    maximum_ = std::max(0, maximum);
    setPosition(position_);
}

void ScrollAxis::setPosition(int position)
{
    position_ = std::clamp(position, 0, maximum_);
}

void ScrollAxis::apply(ScrollAction action, int thumb)
{
    // In long arithmetic so that no thumb value can overflow.
    long target = position_;
    switch (action) {
    case ScrollAction::LineUp:
        target -= 1;
        break;
    case ScrollAction::LineDown:
        target += 1;
        break;
    case ScrollAction::PageUp:
        target -= pageStep_;
        break;
    case ScrollAction::PageDown:
        target += pageStep_;
        break;
    case ScrollAction::Thumb:
        target = thumb;
        break;
    }
    position_ = static_cast<int>(std::clamp<long>(target, 0, maximum_));
}

} // namespace zeb::terminal
