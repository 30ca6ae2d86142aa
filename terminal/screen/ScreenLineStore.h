#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// The lines of the terminal's text pane: at most capacity() texts (kMaxLines unless the user asks for more), each with
// its colour (0x00BBGGRR), the last one possibly still open (its text has not ended with CR yet).
//
// Text arrives in pieces; a CR ends a line (an LF right after it is dropped), an LF elsewhere is kept
// in the line's text. When a new line would make more than capacity() lines, the oldest goes and is counted
// in droppedLines(), which lets a reader keep its place while lines go. Line buffers
// are kept and reused, and each reserves kMaxLineLength bytes when first used, so once the store is full
// adding text allocates nothing and memory stays bounded however long the terminal runs. A line that
// reaches kMaxLineLength without a CR goes on in a new line of the same colour: nothing past the widest
// scroll position could be seen anyway, and a flood without line ends keeps showing its newest bytes.
class ScreenLineStore
{
public:
    static constexpr int kMaxLines = 255;
    // The longest scroll-back a user may ask for: with kMaxLineLength reserved per line, about 20 MB.
    static constexpr int kMaxCapacity = 10000;
    static constexpr std::size_t kMaxLineLength = 2048;

    explicit ScreenLineStore(int capacity = kMaxLines);

    // Clamped to 1..kMaxCapacity. The newest lines are kept when the store shrinks.
    void setCapacity(int capacity);
    int capacity() const { return static_cast<int>(lines_.size()); }
    // How many lines have gone since the store was made, oldest first.
    std::uint64_t droppedLines() const { return dropped_; }

    // The colour of lines created from now on; an open line keeps the colour it was created with.
    void setColour(std::uint32_t colour) { colour_ = colour; }
    std::uint32_t colour() const { return colour_; }

    // Appends text up to its first NUL (the screen takes zero-terminated texts).
    void addText(std::string_view text);
    // Removes all lines; the dropped count starts again at 0.
    void clear();

    int lineCount() const { return count_; }
    // Line 0 is the oldest. Out of range: an empty text, colour 0.
    std::string_view line(int index) const;
    std::uint32_t lineColour(int index) const;
    bool lastLineOpen() const { return open_; }

private:
    struct Line
    {
        std::string text;
        std::uint32_t colour = 0;
    };

    Line& slot(int index) { return lines_[static_cast<std::size_t>((first_ + index) % capacity())]; }
    const Line& slot(int index) const { return lines_[static_cast<std::size_t>((first_ + index) % capacity())]; }
    Line& newLine(std::uint32_t colour);
    Line& openLine();
    void append(std::string_view piece);

    std::vector<Line> lines_;
    int first_ = 0;
    int count_ = 0;
    bool open_ = false;
    std::uint32_t colour_ = 0;
    std::uint64_t dropped_ = 0;
};

} // namespace zeb::terminal
