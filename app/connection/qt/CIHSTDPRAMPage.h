#pragma once

#include "app/connection/ChoiceTable.h"
#include "app/connection/qt/CIHSTPage.h"

class QComboBox;

namespace zeb::connection {

// Dual-port RAM: the unit number. No transport exists for it, so connecting to it always fails; the
// page is kept so that such records can still be edited.
class CIHSTDPRAMPage final : public CIHSTPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_STREAM_DPRAM";
    static constexpr unsigned kUnit = 1005;

    explicit CIHSTDPRAMPage(stream::StreamAddress& record, QWidget* parent = nullptr);

    QString caption() const override;
    bool exchange() override;

    QComboBox* unitBox() const { return m_unit; }

protected:
    void fill() override;

private:
    QComboBox* m_unit;
    ChoiceTable m_units = ChoiceTable::unitNumbers();
};

} // namespace zeb::connection
