#pragma once

namespace zeb::terminal {

enum class ScrollAction {
    LineUp, // also: line left
    LineDown, // also: line right
    PageUp,
    PageDown,
    Thumb, // the thumb was dragged to a position
};

// One scroll bar's bookkeeping: a position clamped to 0..maximum, the page the bar shows, and the steps
// its arrows and page areas move by.
class ScrollAxis
{
public:
    constexpr explicit ScrollAxis(int pageStep)
        : pageStep_(pageStep)
    {
    }

    int position() const { return position_; }
    int maximum() const { return maximum_; }
    int page() const { return page_; }
    int pageStep() const { return pageStep_; }

    // A negative maximum (nothing to scroll) counts as 0. The position is clamped again.
    void setMaximum(int maximum);
    void setPage(int page) { page_ = page < 0 ? 0 : page; }
    void setPosition(int position);
    void apply(ScrollAction action, int thumb = 0);

private:
    int position_ = 0;
    int maximum_ = 0;
    int page_ = 0;
    int pageStep_;
};

} // namespace zeb::terminal
