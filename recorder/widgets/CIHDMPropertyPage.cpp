#include "recorder/widgets/CIHDMPropertyPage.h"

#include "app/framework/UserMessages.h"
#include "app/language/qt/Resources.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace zeb::recorder {

CIHDMPropertyPage::CIHDMPropertyPage(RecorderSettings& settings, const char* dialog, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_dialog(dialog)
    , m_form(new QFormLayout(this))
{
    setObjectName(QString::fromLatin1(dialog));
}

QString CIHDMPropertyPage::caption(const QString& fallback) const
{
    return language::Resources::text(m_dialog, fallback);
}

void CIHDMPropertyPage::shown()
{
    if (!m_created) {
        m_created = true;
        fill();
    }
    refresh();
}

void CIHDMPropertyPage::addRow(unsigned id, const QString& fallbackLabel, QWidget* control)
{
    control->setObjectName(QString::number(id));
    auto* label = new QLabel(text(id, fallbackLabel), this);
    label->setBuddy(control);
    m_form->addRow(label, control);
}

void CIHDMPropertyPage::addList(QAbstractItemView* list, std::initializer_list<Button> buttons)
{
    list->setObjectName(QStringLiteral("1001"));
    m_form->addRow(list);
    auto* row = new QHBoxLayout;
    for (const Button& button : buttons) {
        auto* push = new QPushButton(text(button.id, QString::fromLatin1(button.fallbackLabel)), this);
        push->setObjectName(QString::number(button.id));
        connect(push, &QPushButton::clicked, this, button.clicked);
        row->addWidget(push);
    }
    m_form->addRow(row);
}

QTableWidget* CIHDMPropertyPage::newTable(std::initializer_list<const char*> fallbackHeadings)
{
    auto* table = new QTableWidget(0, static_cast<int>(fallbackHeadings.size()), this);
    QStringList headings;
    unsigned id = 2000;
    for (const char* heading : fallbackHeadings)
        headings << text(id++, QString::fromLatin1(heading));
    table->setHorizontalHeaderLabels(headings);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    return table;
}

QString CIHDMPropertyPage::text(unsigned id, const QString& fallback) const
{
    return language::Resources::control(m_dialog, id, fallback);
}

void CIHDMPropertyPage::refuse(const QString& text)
{
    framework::UserMessages::show(text, this);
}

} // namespace zeb::recorder
