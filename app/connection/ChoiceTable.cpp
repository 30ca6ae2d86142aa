#include "app/connection/ChoiceTable.h"

#include "platform/Settings.h"
#include "stream/serial/SerialTermios.h"
#include "text/Format.h"

#include <algorithm>
#include <utility>

namespace zeb::connection {

namespace {
constexpr std::string_view kSerialPortsSection = "SerialPorts";
}

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

std::vector<ExtraSerialPort> extraSerialPorts(const std::vector<std::string>& existing, unsigned count)
{
    count = std::min(count, kMaxSerialPorts);
    std::vector<std::string> named(kMaxSerialPorts + 1);
    for (unsigned port = 1; port <= kMaxSerialPorts; ++port)
        named[port] = stream::serial::serialDevicePath(port);
    const auto listed = [&](const std::string& device) {
        return std::find(existing.begin(), existing.end(), device) != existing.end();
    };
    const auto free = [&](unsigned port) {
        return !named[port].empty()
            && platform::Settings::current().readText(kSerialPortsSection, text::format("COM%u", port), "").empty()
            && !listed(named[port]);
    };

    std::vector<ExtraSerialPort> extras;
    unsigned nextFree = count + 1;
    for (const std::string& device : existing) {
        const auto first = named.begin() + 1;
        const auto found = std::find(first, named.end(), device);
        const auto port = static_cast<unsigned>(found - named.begin());
        if (found != named.end() && port <= count)
            continue;
        if (found != named.end()) {
            extras.push_back({port, device});
            continue;
        }
        while (nextFree <= kMaxSerialPorts && !free(nextFree))
            ++nextFree;
        if (nextFree > kMaxSerialPorts)
            continue;
        named[nextFree] = device;
        extras.push_back({nextFree++, device});
    }
    return extras;
}

void rememberSerialPort(const ExtraSerialPort& port)
{
    platform::Settings::current().writeText(kSerialPortsSection, text::format("COM%u", port.number), port.device);
}

} // namespace zeb::connection
