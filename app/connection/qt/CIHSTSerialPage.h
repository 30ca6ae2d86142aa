#pragma once

#include "app/connection/ChoiceTable.h"
#include "app/connection/qt/CIHSTPage.h"

#include <filesystem>
#include <vector>

class QComboBox;

namespace zeb::connection {

// Serial line: port, baud rate, parity, data bits and stop bits. Each port entry shows the device
// its "COM" number stands for, so the user sees which line is meant.
class CIHSTSerialPage final : public CIHSTPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_STREAM_SERIAL";
    static constexpr unsigned kPort = 1000;
    static constexpr unsigned kBaudRate = 1001;
    static constexpr unsigned kDataBits = 1002;
    static constexpr unsigned kStopBits = 1003;
    static constexpr unsigned kParity = 1004;

    explicit CIHSTSerialPage(stream::StreamAddress& record, QWidget* parent = nullptr);

    QString caption() const override;
    bool exchange() override;

    QComboBox* portBox() const { return m_port; }
    QComboBox* baudRateBox() const { return m_baudRate; }
    QComboBox* parityBox() const { return m_parity; }
    QComboBox* dataBitsBox() const { return m_dataBits; }
    QComboBox* stopBitsBox() const { return m_stopBits; }
    // Where the page looks for the serial lines that exist: the file system root, or a test's tree.
    void setDeviceRoot(std::filesystem::path root) { m_deviceRoot = std::move(root); }

protected:
    void fill() override;

private:
    QComboBox* m_port;
    QComboBox* m_baudRate;
    QComboBox* m_parity;
    QComboBox* m_dataBits;
    QComboBox* m_stopBits;
    ChoiceTable m_baudRates = ChoiceTable::baudRates();
    ChoiceTable m_parities = ChoiceTable::parities();
    ChoiceTable m_dataBitChoices = ChoiceTable::dataBits();
    ChoiceTable m_stopBitChoices = ChoiceTable::stopBits();
    std::vector<ExtraSerialPort> m_extraPorts;
    std::filesystem::path m_deviceRoot = "/";
};

} // namespace zeb::connection
