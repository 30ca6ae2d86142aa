#pragma once

#include <string>

namespace zeb::terminal {

class ScreenLineStore;

// A place on the screen's character grid: a line of the store and a column in it. -1, -1 is no place.
struct ScreenPosition
{
    int line = -1;
    int column = -1;

    bool valid() const { return line >= 0 && column >= 0; }
    bool operator==(const ScreenPosition&) const = default;
    auto operator<=>(const ScreenPosition&) const = default;
};

// The columns [from, to) of one line that are selected; from == to when none are.
struct ColumnRange
{
    int from = 0;
    int to = 0;

    bool empty() const { return from >= to; }
    bool operator==(const ColumnRange&) const = default;
};

// The text pane's selection: from an anchor to the place the mouse went, in either direction. The end
// column is exclusive, so a selection whose end column is the line's length reaches the line's end.
class ScreenSelection
{
public:
    bool exists() const { return start_.valid(); }
    // No selection, or one that starts where it ends (as a click without a drag makes).
    bool empty() const { return !exists() || start_ == end_; }
    ScreenPosition start() const { return start_; }
    ScreenPosition end() const { return end_; }
    ScreenPosition anchor() const { return anchor_; }
    bool dragging() const { return dragging_; }

    void clear();
    // The places are expected to be clamped to the store already.
    void begin(ScreenPosition at);
    void extendTo(ScreenPosition to);
    void finish() { dragging_ = false; }
    void selectLine(int line, int length);
    // The store dropped its `lines` oldest lines: the selection moves up with its text, and goes when
    // part of that text went.
    void shiftUp(int lines);

    // The selected columns of a line whose text has the given length.
    ColumnRange columnsOn(int line, int length) const;

    // The selected part of each line joined by CR LF, with CR LF after the last line when the selection
    // reaches its end (so a whole empty line copies as CR LF). Empty without a selection.
    std::string copiedText(const ScreenLineStore& lines) const;

private:
    ScreenPosition start_;
    ScreenPosition end_;
    ScreenPosition anchor_;
    bool dragging_ = false;
};

} // namespace zeb::terminal
