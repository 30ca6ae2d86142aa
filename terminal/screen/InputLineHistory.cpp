#include "terminal/screen/InputLineHistory.h"

namespace zeb::terminal {

std::string InputLineHistory::enter(std::string_view text)
{
    slots_[static_cast<std::size_t>(index_)].assign(text);
    index_ = (index_ + 1) % kSlots;
    if (count_ < kSlots) {
        ++count_;
    }
    std::string sent(text);
    sent.append("\r\n");
    return sent;
}

std::string_view InputLineHistory::up()
{
    index_ = (index_ + kSlots - 1) % kSlots;
    return slots_[static_cast<std::size_t>(index_)];
}

std::string_view InputLineHistory::down()
{
    index_ = (index_ + 1) % kSlots;
    return slots_[static_cast<std::size_t>(index_)];
}

std::string_view InputLineHistory::slot(int index) const
{
    if (index < 0 || index >= kSlots) {
        return {};
    }
    return slots_[static_cast<std::size_t>(index)];
}

} // namespace zeb::terminal
