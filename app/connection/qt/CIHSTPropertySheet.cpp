#include "app/connection/qt/CIHSTPropertySheet.h"

#include "app/connection/qt/CIHSTClientPage.h"
#include "app/connection/qt/CIHSTDPRAMPage.h"
#include "app/connection/qt/CIHSTFilePage.h"
#include "app/connection/qt/CIHSTSerialPage.h"
#include "app/framework/DialogRunner.h"
#include "app/framework/SheetPages.h"
#include "app/language/qt/Resources.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zeb::connection {

CIHSTPropertySheet::CIHSTPropertySheet(QWidget* parent)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_reconnect(new QCheckBox(QStringLiteral("Reconnect automatically when the connection drops"), this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    const QString caption = language::Resources::string(32700);
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Connection") : caption);
    m_tabs->setObjectName(QStringLiteral("pages"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    m_reconnect->setObjectName(QStringLiteral("reconnect"));
    layout->addWidget(m_reconnect);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CIHSTPropertySheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CIHSTPropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CIHSTPropertySheet::pageShown);
}

void CIHSTPropertySheet::setReconnect(bool on)
{
    m_reconnect->setChecked(on);
}

bool CIHSTPropertySheet::reconnect() const
{
    return m_reconnect->isChecked();
}

CIHSTPropertySheet::~CIHSTPropertySheet()
{
    // The pages refer to the record: they go before it does.
    clearPages();
}

void CIHSTPropertySheet::clearPages()
{
    framework::clearSheetPages(*m_tabs, m_pages);
    m_inUse = 0;
}

void CIHSTPropertySheet::addPage(CIHSTPage* page, unsigned flag)
{
    m_pages.push_back(page);
    m_inUse |= flag;
    const QSignalBlocker quiet(m_tabs);
    m_tabs->addTab(page, page->caption());
}

void CIHSTPropertySheet::prepare(std::string_view letters)
{
    clearPages();
    m_letters = letters;
    const auto has = [&](char letter) { return letters.find(letter) != std::string_view::npos; };
    if (has('S'))
        addPage(new CIHSTSerialPage(m_record), SerialPage);
    if (has('D'))
        addPage(new CIHSTDPRAMPage(m_record), DpramPage);
    if (has('C'))
        addPage(new CIHSTClientPage(m_record), ClientPage);
    if (has('F'))
        addPage(new CIHSTFilePage(m_record, letters), FilePage);
    if (m_pages.empty())
        return;

    CIHSTPage* start = pageOfType(m_record.type);
    const int index = start ? m_tabs->indexOf(start) : 0;
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    pageShown(index);
}

int CIHSTPropertySheet::run(std::string_view letters)
{
    prepare(letters);
    return framework::DialogRunner::run(*this);
}

int CIHSTPropertySheet::pageCount() const
{
    return static_cast<int>(m_pages.size());
}

CIHSTPage* CIHSTPropertySheet::page(int index) const
{
    return framework::sheetPage(m_pages, index);
}

CIHSTPage* CIHSTPropertySheet::pageOfType(stream::StreamType type) const
{
    for (CIHSTPage* page : m_pages) {
        if (page->type() == type)
            return page;
    }
    return nullptr;
}

void CIHSTPropertySheet::showPage(int index)
{
    m_tabs->setCurrentIndex(index);
}

void CIHSTPropertySheet::pageShown(int index)
{
    if (auto* shown = qobject_cast<CIHSTPage*>(m_tabs->widget(index)))
        shown->create();
}

void CIHSTPropertySheet::accept()
{
    if (framework::exchangeShownPages(*m_tabs, m_pages))
        QDialog::accept();
}

} // namespace zeb::connection
