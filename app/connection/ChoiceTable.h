#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::connection {

// One entry of a drop-down list on the connection pages: the text shown and the value it stands for.
struct Choice
{
    std::string text;
    double value = 0.0;

    bool operator==(const Choice&) const = default;
};

// The entries of one drop-down list, in the order shown. Values are held as doubles so that one
// table kind serves whole numbers, parity letters and stop bits alike.
class ChoiceTable
{
public:
    static constexpr int kNoSelection = -1;

    ChoiceTable() = default;
    explicit ChoiceTable(std::vector<Choice> entries);

    const std::vector<Choice>& entries() const { return m_entries; }
    std::size_t size() const { return m_entries.size(); }
    const Choice& at(std::size_t index) const { return m_entries.at(index); }

    // The entry whose value is exactly `value`, or kNoSelection.
    int find(double value) const;
    // The entry that shows `value`: the equal one, else the first (kNoSelection for an empty table).
    int indexOf(double value) const;
    // The value of entry `index`; `fallback` for an index outside the table.
    double valueAt(int index, double fallback) const;

    // "Auto" (0), then 300 ... 115200.
    static ChoiceTable baudRates();
    // "None" 'N', "Even" 'E', "Odd" 'O', "Space" 'S', "Mark" 'M'.
    static ChoiceTable parities();
    // "4" ... "8".
    static ChoiceTable dataBits();
    // "1" 1.0, "1.5" 1.5, "2" 2.0.
    static ChoiceTable stopBits();
    // "1" ... "4".
    static ChoiceTable unitNumbers();
    // "1" ... "count": entry i stands for port i + 1.
    static ChoiceTable serialPorts(unsigned count);

private:
    std::vector<Choice> m_entries;
};

// The number of serial ports the port list offers: setting "serialPortCount" of section "Settings",
// 8 when absent. A negative value offers none, and the list stops at kMaxSerialPorts so that a damaged
// setting cannot make a list of millions of entries.
constexpr unsigned kDefaultSerialPortCount = 8;
constexpr unsigned kMaxSerialPorts = 256;
unsigned serialPortCount();

// A port offered beyond the first serialPortCount() for a serial line that exists but that none of
// those stands for (a USB receiver, say), so that it can be picked without editing the settings.
struct ExtraSerialPort
{
    unsigned number = 0;
    std::string device;
};
// For each of `existing` that none of ports 1 ... `count` stands for: the port number whose setting
// already names it, else the first number above `count` that has no setting of its own and whose
// default device is not listed either. Devices left without a number (all kMaxSerialPorts taken) are
// not offered.
std::vector<ExtraSerialPort> extraSerialPorts(const std::vector<std::string>& existing, unsigned count);
// Makes port `port.number` stand for its device from now on.
void rememberSerialPort(const ExtraSerialPort& port);

} // namespace zeb::connection
