#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zeb::terminal {

// The input line's history: a ring of kSlots texts and a current slot. Enter stores the typed text in the
// current slot and moves on; Up and Down move back and forth around the ring and show what the slot holds
// (an unused slot shows an empty line). A recalled text that is sent again goes back, as edited, into the
// slot it came from, and the slot after it becomes current.
class InputLineHistory
{
public:
    static constexpr int kSlots = 50;

    // Stores the text and returns what the input line sends: the text followed by CR LF.
    std::string enter(std::string_view text);
    std::string_view up();
    std::string_view down();

    int index() const { return index_; }
    // Slots used so far, at most kSlots.
    int count() const { return count_; }
    std::string_view slot(int index) const;

private:
    std::array<std::string, kSlots> slots_;
    int index_ = 0;
    int count_ = 0;
};

} // namespace zeb::terminal
