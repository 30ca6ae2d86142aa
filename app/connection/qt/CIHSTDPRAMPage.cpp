#include "app/connection/qt/CIHSTDPRAMPage.h"

#include "app/language/qt/Resources.h"

#include <QComboBox>

namespace zeb::connection {

CIHSTDPRAMPage::CIHSTDPRAMPage(stream::StreamAddress& record, QWidget* parent)
    : CIHSTPage(record, stream::stream_type::Dpram, kDialog, parent)
    , m_unit(new QComboBox(this))
{
    addRow(kUnit, QStringLiteral("Unit"), m_unit);
}

QString CIHSTDPRAMPage::caption() const
{
    return language::Resources::text(kDialog, QStringLiteral("Dual-port RAM"));
}

void CIHSTDPRAMPage::fill()
{
    fillList(*m_unit, m_units);
    m_unit->setCurrentIndex(m_units.indexOf(record().dpram.unitNumber));
}

bool CIHSTDPRAMPage::exchange()
{
    record().dpram.unitNumber
        = static_cast<std::uint32_t>(m_units.valueAt(m_unit->currentIndex(), record().dpram.unitNumber));
    return true;
}

} // namespace zeb::connection
