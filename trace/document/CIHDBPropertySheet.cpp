#include "trace/document/CIHDBPropertySheet.h"

#include "trace/document/CIHDBPropertyColor.h"
#include "trace/document/CIHDBPropertyComponent.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zeb::trace {

CIHDBPropertySheet::CIHDBPropertySheet(stream::IOSTStream* stream, const TraceDisplaySettings& display, QWidget* parent)
    : QDialog(parent)
    , m_components(new CIHDBPropertyComponent(stream))
    , m_colours(new CIHDBPropertyColor(display))
{
    setWindowTitle(tr("Properties"));
    auto* tabs = new QTabWidget;
    tabs->addTab(m_components, tr("Components"));
    tabs->addTab(m_colours, tr("Display"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

TraceDisplaySettings CIHDBPropertySheet::display() const
{
    return m_colours->display();
}

void CIHDBPropertySheet::apply()
{
    m_components->commit();
}

} // namespace zeb::trace
