#include "app/connection/ChoiceTable.h"

#include "platform/Settings.h"

#include <algorithm>
#include <utility>

namespace zeb::connection {

namespace {

ChoiceTable numbers(std::initializer_list<unsigned> values)
{
    std::vector<Choice> entries;
    entries.reserve(values.size());
    for (unsigned value : values)
        entries.push_back({std::to_string(value), static_cast<double>(value)});
    return ChoiceTable(std::move(entries));
}

} // namespace

ChoiceTable::ChoiceTable(std::vector<Choice> entries)
    : m_entries(std::move(entries))
{
}

int ChoiceTable::find(double value) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].value == value)
            return static_cast<int>(i);
    }
    return kNoSelection;
}

int ChoiceTable::indexOf(double value) const
{
    if (m_entries.empty())
        return kNoSelection;
    const int index = find(value);
    return index == kNoSelection ? 0 : index;
}

double ChoiceTable::valueAt(int index, double fallback) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return fallback;
    return m_entries[static_cast<std::size_t>(index)].value;
}

ChoiceTable ChoiceTable::baudRates()
{
    ChoiceTable table = numbers({300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200});
    table.m_entries.insert(table.m_entries.begin(), Choice{"Auto", 0.0});
    return table;
}

ChoiceTable ChoiceTable::parities()
{
    return ChoiceTable({{"None", 'N'}, {"Even", 'E'}, {"Odd", 'O'}, {"Space", 'S'}, {"Mark", 'M'}});
}

ChoiceTable ChoiceTable::dataBits()
{
    return numbers({4, 5, 6, 7, 8});
}

ChoiceTable ChoiceTable::stopBits()
{
    return ChoiceTable({{"1", 1.0}, {"1.5", 1.5}, {"2", 2.0}});
}

ChoiceTable ChoiceTable::unitNumbers()
{
    return numbers({1, 2, 3, 4});
}

ChoiceTable ChoiceTable::serialPorts(unsigned count)
{
    std::vector<Choice> entries;
    entries.reserve(count);
    for (unsigned port = 1; port <= count; ++port)
        entries.push_back({std::to_string(port), static_cast<double>(port)});
    return ChoiceTable(std::move(entries));
}

unsigned serialPortCount()
{
    const int stored = platform::Settings::current().readInt(platform::Settings::kSection, "serialPortCount",
                                                             static_cast<int>(kDefaultSerialPortCount));
    return static_cast<unsigned>(std::clamp(stored, 0, static_cast<int>(kMaxSerialPorts)));
}

int serialPortIndex(unsigned portNumber, std::size_t listSize)
{
    if (portNumber == 0 || portNumber > listSize)
        return ChoiceTable::kNoSelection;
    return static_cast<int>(portNumber - 1);
}

unsigned serialPortFromIndex(int index)
{
    return index < 0 ? 0u : static_cast<unsigned>(index) + 1u;
}

} // namespace zeb::connection
