#pragma once

#include "app/connection/qt/CIHSTPage.h"

#include <cstdint>
#include <optional>

class QLineEdit;

namespace zeb::connection {

// TCP client: the host (a dotted address, a name, or empty for this machine) and the port.
class CIHSTClientPage final : public CIHSTPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_STREAM_CLIENT";
    static constexpr unsigned kHost = 1016;
    static constexpr unsigned kPort = 1017;

    explicit CIHSTClientPage(stream::StreamAddress& record, QWidget* parent = nullptr);

    QString caption() const override;
    bool exchange() override;

    QLineEdit* hostEdit() const { return m_host; }
    QLineEdit* portEdit() const { return m_port; }

    // The port a field holds: a decimal number that fits 32 bits, blanks around it allowed.
    static std::optional<std::uint32_t> parsePort(const QString& text);

protected:
    void fill() override;

private:
    QLineEdit* m_host;
    QLineEdit* m_port;
};

} // namespace zeb::connection
