#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zeb::tools::sim {

// The simulated receiver's front panel: a title, a menu with a cursor row, an editable number,
// soft-key labels, a clock and a cross where the display was last clicked. Keys and clicks come
// in as the remote display's requests; the screen goes out as display-list request payloads.
//   Up/Down move the menu cursor (wrapping); digits (panel keys or typed) append to the number
//   (five digits at most); Left/Right and the step requests 18/19 take 1 from it or add 1;
//   Escape and soft key 5 clear it; soft key 1 ("OK") selects the menu row as the title.
class PanelModel
{
public:
    static constexpr std::uint32_t kMaxValue = 99999;
    static constexpr std::size_t kMenuRows = 4;

    // One request payload from the workbench (its code first); true when the screen changed.
    bool take(const std::string& payload);

    // The display-list payloads that draw the screen at `secondsOfDay`.
    std::vector<std::string> screen(std::uint32_t secondsOfDay) const;

    std::size_t cursorRow() const { return m_cursor; }
    std::uint32_t value() const { return m_value; }
    const std::string& title() const { return m_title; }

private:
    bool key(std::uint32_t code);
    void digit(std::uint32_t d);
    void step(bool up);

    std::size_t m_cursor = 0;
    std::uint32_t m_value = 0;
    std::string m_title = "ZEB500";
    std::optional<std::pair<std::uint32_t, std::uint32_t>> m_click;
};

} // namespace zeb::tools::sim
