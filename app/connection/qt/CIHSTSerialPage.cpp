#include "app/connection/qt/CIHSTSerialPage.h"

#include "app/language/qt/Resources.h"
#include "stream/serial/SerialPortList.h"
#include "stream/serial/SerialTermios.h"
#include "text/Format.h"

#include <QComboBox>

namespace zeb::connection {

namespace {

QComboBox* dropList(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(false);
    return box;
}

} // namespace

CIHSTSerialPage::CIHSTSerialPage(stream::StreamAddress& record, QWidget* parent)
    : CIHSTPage(record, stream::stream_type::Serial, kDialog, parent)
    , m_port(dropList(this))
    , m_baudRate(dropList(this))
    , m_parity(dropList(this))
    , m_dataBits(dropList(this))
    , m_stopBits(dropList(this))
{
    addRow(kPort, QStringLiteral("Port"), m_port);
    addRow(kBaudRate, QStringLiteral("Baud rate"), m_baudRate);
    addRow(kParity, QStringLiteral("Parity"), m_parity);
    addRow(kDataBits, QStringLiteral("Data bits"), m_dataBits);
    addRow(kStopBits, QStringLiteral("Stop bits"), m_stopBits);
}

QString CIHSTSerialPage::caption() const
{
    return language::Resources::text(kDialog, QStringLiteral("Serial port"));
}

void CIHSTSerialPage::fill()
{
    const ChoiceTable ports = ChoiceTable::serialPorts(serialPortCount());
    m_port->clear();
    for (const Choice& choice : ports.entries()) {
        const auto number = static_cast<std::uint32_t>(choice.value);
        const std::string device = stream::serial::serialDevicePath(number);
        m_port->addItem(QString::fromStdString(text::format("%s  (%s)", choice.text.c_str(), device.c_str())),
                        choice.value);
    }
    m_extraPorts = extraSerialPorts(stream::serial::listSerialPorts(m_deviceRoot), ports.size());
    for (const ExtraSerialPort& port : m_extraPorts)
        m_port->addItem(QString::fromStdString(text::format("%u  (%s)", port.number, port.device.c_str())),
                        port.number);
    fillList(*m_baudRate, m_baudRates);
    fillList(*m_parity, m_parities);
    fillList(*m_dataBits, m_dataBitChoices);
    fillList(*m_stopBits, m_stopBitChoices);

    const stream::SerialSettings& serial = record().serial;
    m_port->setCurrentIndex(serial.portNumber == 0 ? -1 : m_port->findData(serial.portNumber));
    m_baudRate->setCurrentIndex(m_baudRates.indexOf(serial.baudRate));
    m_parity->setCurrentIndex(m_parities.indexOf(static_cast<unsigned char>(serial.parity)));
    m_dataBits->setCurrentIndex(m_dataBitChoices.indexOf(serial.dataBits));
    m_stopBits->setCurrentIndex(m_stopBitChoices.indexOf(serial.stopBits));
}

bool CIHSTSerialPage::exchange()
{
    stream::SerialSettings& serial = record().serial;
    serial.portNumber = m_port->currentIndex() < 0 ? 0u : m_port->currentData().toUInt();
    for (const ExtraSerialPort& port : m_extraPorts) {
        if (port.number == serial.portNumber)
            rememberSerialPort(port);
    }
    serial.deviceName = text::format("COM%u", serial.portNumber);
    serial.baudRate = static_cast<std::uint32_t>(m_baudRates.valueAt(m_baudRate->currentIndex(), serial.baudRate));
    serial.parity = static_cast<char>(m_parities.valueAt(m_parity->currentIndex(), serial.parity));
    serial.dataBits = static_cast<std::uint8_t>(m_dataBitChoices.valueAt(m_dataBits->currentIndex(), serial.dataBits));
    serial.stopBits = m_stopBitChoices.valueAt(m_stopBits->currentIndex(), serial.stopBits);
    return true;
}

} // namespace zeb::connection
