#pragma once

namespace zeb::terminal {

struct ScreenRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const ScreenRect&) const = default;
};

// Where the screen view's parts go in its client area. Parts the style mask leaves out get an empty
// rectangle; sizes never go negative, however small the area.
struct ScreenLayout
{
    // Style mask bits given when the view is prepared; the terminal uses all three.
    static constexpr unsigned kInputLine = 1;
    static constexpr unsigned kHorizontalBar = 2;
    static constexpr unsigned kVerticalBar = 4;
    static constexpr int kBarSize = 16;
    static constexpr int kInputHeight = 16;

    ScreenRect pane;
    ScreenRect input;
    ScreenRect horizontalBar;
    ScreenRect verticalBar;

    static ScreenLayout compute(int width, int height, unsigned styleMask);
};

} // namespace zeb::terminal
