#pragma once

#include <vector>

namespace zeb::heading {

// Where the compass card's parts go in a widget of a given size, turned to a displayed heading.
// Screen coordinates: x to the right, y downward. The card angle a is drawn at the screen
// direction (displayed - a) + 90 degrees, counter-clockwise from the positive x axis, so the
// displayed heading stands at the top.
class CompassLayout
{
public:
    struct Point
    {
        double x = 0;
        double y = 0;
    };
    struct Tick
    {
        Point inner;
        Point outer;
    };
    struct Label
    {
        double angle = 0; // card degrees, written "%.0lf"
        Point anchor; // just outside the ticks, on the label's direction
        double rotation = 0; // degrees clockwise on screen, so the text turns with the card
    };

    static constexpr double kMinimumTickSpacing = 8.0;

    CompassLayout(int width, int height, double displayed);

    // R = (smaller side - 20) / 2, never below 0.
    double radius() const { return m_radius; }
    Point centre() const { return m_centre; }
    // Ticks and labels appear once R / 8 reaches 8 pixels.
    bool showsTicks() const { return m_radius / 8.0 >= kMinimumTickSpacing; }
    // Every 5 degrees between 0.8 R and 0.9 R; every third one carries a label.
    std::vector<Tick> ticks() const;
    std::vector<Label> labels() const;
    double labelFontHeight() const { return m_radius / 8.0; }
    // The red pointer at the top: apex, then the two base corners.
    std::vector<Point> pointer() const;
    double headingFontHeight() const;
    double tenthsFontHeight() const;
    double smallFontHeight() const;
    // The screen point of card angle `angle` at distance `distance` from the centre.
    Point at(double angle, double distance) const;
    // Whether a press at (x, y) falls on the outer ring (0.75 R to R), which the widget keeps.
    bool onRing(double x, double y) const;

private:
    double m_radius;
    Point m_centre;
    double m_displayed;
};

} // namespace zeb::heading
