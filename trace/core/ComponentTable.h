#pragma once

#include "trace/core/TraceLevels.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::trace {

// One software component of a receiver and its six level switches (index 0 is level 1).
struct ComponentSwitches
{
    std::string name;
    std::array<bool, kLevelCount> levels{};

    bool operator==(const ComponentSwitches&) const = default;
};

// "$PKVR,DEBUG,TRACE,<name>,<s1>,...,<s6>" with optional blanks around the commas. The name comes without the
// blanks around it. Refused: the receiver's own command words (an OUTPUT line with numeric fields reads the same
// way), an empty name, one longer than kMaxComponentName, and one with control bytes, which could not be sent back.
std::optional<ComponentSwitches> parseComponentLine(std::string_view text);
inline constexpr std::size_t kMaxComponentName = 64;

// The components the receiver reported, as the property page edits them before sending them back.
class ComponentTable
{
public:
    // A receiver lists a few dozen components; a far side that keeps inventing names stops adding rows here.
    static constexpr std::size_t kMaxRows = 512;

    // A component line adds its row, or updates the row of that name; false for any other text or when full.
    bool apply(std::string_view text);
    // Adds or updates a row as a component line would.
    bool set(const ComponentSwitches& row);
    void clear() { m_rows.clear(); }

    const std::vector<ComponentSwitches>& rows() const { return m_rows; }
    std::optional<std::size_t> find(std::string_view name) const;

    // Toggles one switch (level 1 to 6).
    void toggle(std::size_t row, std::uint32_t level);
    // Every switch of the row on, unless its first is on: then all off.
    void toggleRow(std::size_t row);
    // The level's switch of every row set to the opposite of row 0's.
    void toggleLevel(std::uint32_t level);
    // Every switch of every row set to the opposite of row 0's first.
    void toggleAll();

    // What OK sends: ON or OFF, then one SET line per row and level, in order.
    std::vector<std::string> commitLines(bool tracingOn) const;

private:
    std::vector<ComponentSwitches> m_rows;
};

} // namespace zeb::trace
