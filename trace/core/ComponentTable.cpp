#include "trace/core/ComponentTable.h"

#include "text/Scan.h"
#include "trace/core/TraceCommands.h"

#include <algorithm>

namespace zeb::trace {

namespace {

constexpr std::string_view kComponentPattern = "$PKVR,DEBUG,TRACE,%[^,] , %u , %u , %u , %u , %u , %u% \r\n";
constexpr int kComponentFields = 7;
constexpr std::array<std::string_view, 5> kCommandWords = {"OUTPUT", "VIEW", "ON", "OFF", "SET"};

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool acceptableName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxComponentName)
        return false;
    if (std::find(kCommandWords.begin(), kCommandWords.end(), name) != kCommandWords.end())
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

std::optional<ComponentSwitches> parseComponentLine(std::string_view text)
{
    std::string name;
    std::array<unsigned, kLevelCount> values{};
    if (text::scan(text, kComponentPattern, &name, &values[0], &values[1], &values[2], &values[3], &values[4],
                   &values[5])
        != kComponentFields)
        return std::nullopt;
    const std::string_view clean = trimmed(name);
    if (!acceptableName(clean))
        return std::nullopt;
    ComponentSwitches row{std::string(clean), {}};
    for (std::size_t i = 0; i < kLevelCount; ++i)
        row.levels[i] = values[i] != 0;
    return row;
}

bool ComponentTable::apply(std::string_view text)
{
    const auto row = parseComponentLine(text);
    return row && set(*row);
}

bool ComponentTable::set(const ComponentSwitches& row)
{
    if (const auto index = find(row.name)) {
        m_rows[*index] = row;
        return true;
    }
    if (m_rows.size() >= kMaxRows)
        return false;
    m_rows.push_back(row);
    return true;
}

std::optional<std::size_t> ComponentTable::find(std::string_view name) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [name](const auto& row) { return row.name == name; });
    if (it == m_rows.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - m_rows.begin());
}

void ComponentTable::toggle(std::size_t row, std::uint32_t level)
{
    if (row >= m_rows.size() || level < 1 || level > kLevelCount)
        return;
    bool& cell = m_rows[row].levels[level - 1];
    cell = !cell;
}

void ComponentTable::toggleRow(std::size_t row)
{
    if (row >= m_rows.size())
        return;
    auto& levels = m_rows[row].levels;
    levels.fill(!levels[0]);
}

void ComponentTable::toggleLevel(std::uint32_t level)
{
    if (m_rows.empty() || level < 1 || level > kLevelCount)
        return;
    const bool value = !m_rows[0].levels[level - 1];
    for (auto& row : m_rows)
        row.levels[level - 1] = value;
}

void ComponentTable::toggleAll()
{
    if (m_rows.empty())
        return;
    const bool value = !m_rows[0].levels[0];
    for (auto& row : m_rows)
        row.levels.fill(value);
}

std::vector<std::string> ComponentTable::commitLines(bool tracingOn) const
{
    std::vector<std::string> lines;
    lines.reserve(1 + m_rows.size() * kLevelCount);
    lines.emplace_back(tracingOn ? kTraceOn : kTraceOff);
    for (const auto& row : m_rows) {
        for (std::uint32_t level = 1; level <= kLevelCount; ++level)
            lines.push_back(setLevelLine(row.name, level, row.levels[level - 1]));
    }
    return lines;
}

} // namespace zeb::trace
