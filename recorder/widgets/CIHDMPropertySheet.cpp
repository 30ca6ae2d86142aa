#include "recorder/widgets/CIHDMPropertySheet.h"

#include "app/framework/DialogRunner.h"
#include "app/framework/SheetPages.h"
#include "app/language/qt/Resources.h"
#include "recorder/widgets/CIHDMPropertyFilter.h"
#include "recorder/widgets/CIHDMPropertyPort.h"
#include "recorder/widgets/CIHDMPropertyTrack.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zeb::recorder {

CIHDMPropertySheet::CIHDMPropertySheet(QWidget* parent, Clocks clocks)
    : QDialog(parent)
    , m_clocks(std::move(clocks))
    , m_tabs(new QTabWidget(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(language::Resources::text("IDD_IHDM_PROPERTIES", QStringLiteral("Recorder properties")));
    m_tabs->setObjectName(QStringLiteral("pages"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CIHDMPropertySheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CIHDMPropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CIHDMPropertySheet::pageShown);
}

CIHDMPropertySheet::~CIHDMPropertySheet()
{
    // The pages refer to the settings copy: they go before it does.
    clearPages();
}

void CIHDMPropertySheet::clearPages()
{
    framework::clearSheetPages(*m_tabs, m_pages);
}

void CIHDMPropertySheet::addPage(CIHDMPropertyPage* page, const QString& fallbackCaption)
{
    m_pages.push_back(page);
    const QSignalBlocker quiet(m_tabs);
    m_tabs->addTab(page, page->caption(fallbackCaption));
}

void CIHDMPropertySheet::prepare(const RecorderSettings& settings)
{
    clearPages();
    m_settings = settings;
    addPage(new CIHDMPropertyPort(m_settings), QStringLiteral("Ports"));
    addPage(new CIHDMPropertyTrack(m_settings), QStringLiteral("Tracks"));
    addPage(new CIHDMPropertyFilter(m_settings), QStringLiteral("Filters"));
    addPage(new CIHDMPropertyFile(m_settings, m_clocks.file), QStringLiteral("File"));
    addPage(new CIHDMPropertySchedule(m_settings, m_clocks.schedule), QStringLiteral("Schedule"));
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(0);
    }
    pageShown(0);
}

int CIHDMPropertySheet::run(const RecorderSettings& settings)
{
    prepare(settings);
    return framework::DialogRunner::run(*this);
}

CIHDMPropertyPage* CIHDMPropertySheet::page(int index) const
{
    return framework::sheetPage(m_pages, index);
}

void CIHDMPropertySheet::showPage(int index)
{
    m_tabs->setCurrentIndex(index);
}

void CIHDMPropertySheet::pageShown(int index)
{
    if (auto* shown = qobject_cast<CIHDMPropertyPage*>(m_tabs->widget(index)))
        shown->shown();
}

void CIHDMPropertySheet::accept()
{
    if (framework::exchangeShownPages(*m_tabs, m_pages))
        QDialog::accept();
}

} // namespace zeb::recorder
