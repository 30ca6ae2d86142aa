#include "app/connection/qt/CIHSTClientPage.h"

#include "app/language/qt/Resources.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <charconv>
#include <string>

namespace zeb::connection {

CIHSTClientPage::CIHSTClientPage(stream::StreamAddress& record, QWidget* parent)
    : CIHSTPage(record, stream::stream_type::Client, kDialog, parent)
    , m_host(new QLineEdit(this))
    , m_port(new QLineEdit(this))
{
    m_host->setMaxLength(static_cast<int>(stream::kMaxAddressText));
    m_port->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral(" *[0-9]{0,10} *")), m_port));
    addRow(kHost, QStringLiteral("Host"), m_host);
    addRow(kPort, QStringLiteral("Port"), m_port);
}

QString CIHSTClientPage::caption() const
{
    return language::Resources::text(kDialog, QStringLiteral("TCP client"));
}

void CIHSTClientPage::fill()
{
    m_host->setText(QString::fromStdString(record().client.host));
    m_port->setText(QString::number(record().client.port));
}

std::optional<std::uint32_t> CIHSTClientPage::parsePort(const QString& text)
{
    const std::string digits = text.trimmed().toStdString();
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

bool CIHSTClientPage::exchange()
{
    const std::optional<std::uint32_t> port = parsePort(m_port->text());
    if (!port) {
        m_port->setFocus();
        m_port->selectAll();
        return false;
    }
    record().client.host = m_host->text().toStdString();
    record().client.port = *port;
    return true;
}

} // namespace zeb::connection
