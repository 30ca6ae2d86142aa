#include "app/connection/qt/CIHSTPage.h"

#include "app/connection/ChoiceTable.h"
#include "app/language/qt/Resources.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

#include <algorithm>
#include <cctype>

namespace zeb::connection {

CIHSTPage::CIHSTPage(stream::StreamAddress& record, stream::StreamType type, const char* dialog, QWidget* parent)
    : QWidget(parent)
    , m_record(record)
    , m_type(type)
    , m_dialog(dialog)
    , m_form(new QFormLayout(this))
{
    setObjectName(QString::fromLatin1(dialog));
}

void CIHSTPage::create()
{
    if (m_created)
        return;
    m_created = true;
    fill();
    m_record.type = m_type;
}

void CIHSTPage::addRow(unsigned id, const QString& fallbackLabel, QWidget* control)
{
    control->setObjectName(QString::number(id));
    auto* text = new QLabel(label(id, fallbackLabel), this);
    text->setObjectName(QStringLiteral("label%1").arg(id));
    text->setBuddy(control);
    m_form->addRow(text, control);
}

QString CIHSTPage::label(unsigned id, const QString& fallback) const
{
    return language::Resources::control(m_dialog, id, fallback);
}

QString CIHSTPage::choiceText(const std::string& text)
{
    const bool number = !text.empty()
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) || c == '.'; });
    QString fallback = QString::fromStdString(text);
    if (number)
        return fallback;
    return language::Resources::text(("IHST_CHOICE/" + text).c_str(), fallback);
}

void CIHSTPage::fillList(QComboBox& box, const ChoiceTable& table)
{
    box.clear();
    for (const Choice& choice : table.entries())
        box.addItem(choiceText(choice.text), choice.value);
}

} // namespace zeb::connection
