#include "recorder/widgets/CIHDMPropertyPort.h"

#include "app/connection/qt/CIHSTPropertySheet.h"
#include "recorder/widgets/EntryNames.h"
#include "stream/StreamAddress.h"

#include <QDebug>
#include <QTableWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <unistd.h>

namespace zeb::recorder {
namespace {

constexpr int kNameColumn = 0;
constexpr int kAddressColumn = 1;
// Identifiers of the streams opened for new ports start here, above those the workbench opens itself.
constexpr std::uint32_t kFirstPortIdentifier = 1000;

} // namespace

CIHDMPropertyPort::CIHDMPropertyPort(RecorderSettings& settings, QWidget* parent)
    : CIHDMPropertyPage(settings, kDialog, parent)
    , m_table(newTable({"Name", "Address"}))
{
    addList(m_table,
            {{1002, "Add", [this] { addPort(); }},
             {1003, "Address...", [this] { editSelected(); }},
             {1004, "Remove", [this] { removeSelected(); }}});
    connect(m_table, &QTableWidget::itemChanged, this, &CIHDMPropertyPort::renamed);
}

std::string CIHDMPropertyPort::newPortAddress()
{
    std::array<char, 256> host{};
    std::string name = "localhost";
    if (gethostname(host.data(), host.size() - 1) == 0 && host[0] != '\0') {
        name = host.data();
    } else {
        qWarning("CIHDMPropertyPort: gethostname failed");
    }
    return "/dev/client/" + name + "/1000";
}

void CIHDMPropertyPort::refresh()
{
    const QSignalBlocker quiet(m_table);
    const auto& ports = settings().ports;
    m_table->setRowCount(static_cast<int>(ports.size()));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto* name = new QTableWidgetItem(QString::fromStdString(ports[i].name));
        // The document's port has no address of its own: it is the window's connection.
        const QString shown = ports[i].saved ? QString::fromStdString(ports[i].address)
                                             : text(2002, QStringLiteral("This window's connection"));
        auto* address = new QTableWidgetItem(shown);
        address->setFlags(address->flags() & ~Qt::ItemIsEditable);
        if (!ports[i].saved)
            name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(static_cast<int>(i), kNameColumn, name);
        m_table->setItem(static_cast<int>(i), kAddressColumn, address);
    }
}

void CIHDMPropertyPort::addPort()
{
    auto& ports = settings().ports;
    if (ports.size() >= RecorderSettings::kMaxPorts) {
        refuse(QStringLiteral("No more than %1 ports").arg(RecorderSettings::kMaxPorts));
        return;
    }
    // Two ports never share a stream identifier: each opens a stream of its own.
    std::uint64_t identifier = kFirstPortIdentifier;
    for (const RecorderPort& port : ports)
        identifier = std::max<std::uint64_t>(identifier, std::uint64_t{port.identifier} + 1);
    if (identifier > UINT32_MAX) {
        refuse(QStringLiteral("No stream identifier is left for another port"));
        return;
    }
    ports.push_back(RecorderPort{freeEntryName(ports, [](const RecorderPort& port) { return port.name; }),
                                 newPortAddress(), static_cast<std::uint32_t>(identifier), true});
    refresh();
    m_table->selectRow(m_table->rowCount() - 1);
}

RecorderPort* CIHDMPropertyPort::selectedPort()
{
    const int row = m_table->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= settings().ports.size())
        return nullptr;
    RecorderPort& port = settings().ports[static_cast<std::size_t>(row)];
    return port.saved ? &port : nullptr;
}

void CIHDMPropertyPort::removeSelected()
{
    if (!selectedPort())
        return;
    settings().removePort(static_cast<std::size_t>(m_table->currentRow()));
    refresh();
}

void CIHDMPropertyPort::editSelected()
{
    RecorderPort* port = selectedPort();
    if (!port)
        return;
    stream::StreamAddress address;
    stream::parseStreamAddress(port->address, address);
    connection::CIHSTPropertySheet sheet(this);
    sheet.setAddress(address);
    if (sheet.run(kSheetLetters) != QDialog::Accepted)
        return;
    const std::string text = stream::formatStreamAddress(sheet.address());
    if (text.empty() || text.size() > stream::kMaxAddressText || text.find_first_of("\r\n") != std::string::npos) {
        refuse(QStringLiteral("The address \"%1\" cannot be kept for a port").arg(QString::fromStdString(text)));
        return;
    }
    port->address = text;
    refresh();
}

void CIHDMPropertyPort::renamed(QTableWidgetItem* item)
{
    const auto row = static_cast<std::size_t>(item->row());
    if (item->column() != kNameColumn || row >= settings().ports.size())
        return;
    RecorderPort& port = settings().ports[row];
    const std::string name = item->text().toStdString();
    if (name == port.name)
        return;
    if (!RecorderSettings::isValidPortName(name) || settings().findPort(name) >= 0) {
        refuse(QStringLiteral("\"%1\" cannot name a port: it is empty, taken or holds a comma").arg(item->text()));
    } else {
        port.name = name;
    }
    const QSignalBlocker quiet(m_table);
    item->setText(QString::fromStdString(port.name));
}

} // namespace zeb::recorder
