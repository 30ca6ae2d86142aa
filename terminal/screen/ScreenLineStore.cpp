#include "terminal/screen/ScreenLineStore.h"

#include <algorithm>

namespace zeb::terminal {

ScreenLineStore::ScreenLineStore(int capacity)
    : lines_(static_cast<std::size_t>(std::clamp(capacity, 1, kMaxCapacity)))
{
}

void ScreenLineStore::setCapacity(int capacity)
{
    capacity = std::clamp(capacity, 1, kMaxCapacity);
    if (capacity == this->capacity()) {
        return;
    }
    const int keep = std::min(count_, capacity);
    std::vector<Line> kept(static_cast<std::size_t>(capacity));
    for (int i = 0; i < keep; ++i) {
        kept[static_cast<std::size_t>(i)] = std::move(slot(count_ - keep + i));
    }
    dropped_ += static_cast<std::uint64_t>(count_ - keep);
    lines_ = std::move(kept);
    first_ = 0;
    count_ = keep;
    open_ = open_ && keep > 0;
}

void ScreenLineStore::clear()
{
    // The buffers keep their capacity for the lines to come.
    for (int i = 0; i < count_; ++i) {
        slot(i).text.clear();
    }
    first_ = 0;
    count_ = 0;
    open_ = false;
    dropped_ = 0;
}

std::string_view ScreenLineStore::line(int index) const
{
    if (index < 0 || index >= count_) {
        return {};
    }
    return slot(index).text;
}

std::uint32_t ScreenLineStore::lineColour(int index) const
{
    if (index < 0 || index >= count_) {
        return 0;
    }
    return slot(index).colour;
}

ScreenLineStore::Line& ScreenLineStore::newLine(std::uint32_t colour)
{
    if (count_ == capacity()) {
        first_ = (first_ + 1) % capacity();
        --count_;
        ++dropped_;
    }
    ++count_;
    Line& line = slot(count_ - 1);
    line.text.clear();
    if (line.text.capacity() < kMaxLineLength) {
        line.text.reserve(kMaxLineLength);
    }
    line.colour = colour;
    return line;
}

ScreenLineStore::Line& ScreenLineStore::openLine()
{
    if (open_ && count_ > 0) {
        return slot(count_ - 1);
    }
    open_ = true;
    return newLine(colour_);
}

// Appends to the open line (opening one if needed), going on in new lines of the same colour when the
// line is full.
void ScreenLineStore::append(std::string_view piece)
{
    Line* line = &openLine();
    for (;;) {
        const std::size_t room = kMaxLineLength - line->text.size();
        const std::size_t take = std::min(room, piece.size());
        line->text.append(piece.data(), take);
        piece.remove_prefix(take);
        if (piece.empty()) {
            return;
        }
        line = &newLine(line->colour);
    }
}

void ScreenLineStore::addText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    while (!text.empty()) {
        const std::size_t cr = text.find('\r');
        if (cr == std::string_view::npos) {
            append(text);
            return;
        }
        // A CR ends the open line, or makes a line of its own (possibly empty) when none is open.
        append(text.substr(0, cr));
        open_ = false;
        text.remove_prefix(cr + 1);
        if (!text.empty() && text.front() == '\n') {
            text.remove_prefix(1);
        }
    }
}

} // namespace zeb::terminal
