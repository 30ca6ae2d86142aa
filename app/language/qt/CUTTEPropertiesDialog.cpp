#include "app/language/qt/CUTTEPropertiesDialog.h"

#include "app/language/LanguageList.h"
#include "app/language/qt/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zeb::language {

namespace {

QCheckBox* checkBox(int id, const QString& fallback)
{
    auto* box = new QCheckBox(Resources::control(CUTTEPropertiesDialog::kName, static_cast<unsigned>(id), fallback));
    box->setObjectName(QString::number(id));
    return box;
}

QPushButton* button(int id, const QString& fallback)
{
    auto* result
        = new QPushButton(Resources::control(CUTTEPropertiesDialog::kName, static_cast<unsigned>(id), fallback));
    result->setObjectName(QString::number(id));
    return result;
}

} // namespace

CUTTEPropertiesDialog::CUTTEPropertiesDialog(const LanguageList& languages, QWidget* parent)
    : QDialog(parent)
    , m_useMainFrame(checkBox(kUseMainFrame, QStringLiteral("Use the main frame")))
    , m_loadWorkspaceOnStartup(checkBox(kLoadWorkspaceOnStartup, QStringLiteral("Load the workspace on startup")))
    , m_saveWorkspaceOnExit(checkBox(kSaveWorkspaceOnExit, QStringLiteral("Save the workspace on exit")))
    , m_language(new QComboBox)
{
    setWindowTitle(Resources::text(kName, QStringLiteral("Properties")));
    m_language->setObjectName(QString::number(kLanguage));
    for (const LanguageEntry& entry : languages.entries())
        m_language->addItem(QString::fromStdString(entry.displayName), QString::fromStdString(entry.code));
    m_language->setCurrentIndex(-1);

    auto* languageRow = new QFormLayout;
    languageRow->addRow(Resources::control(kName, kLanguage, QStringLiteral("Language:")), m_language);

    QPushButton* ok = button(1, QStringLiteral("OK"));
    QPushButton* cancel = button(2, QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_useMainFrame);
    layout->addWidget(m_loadWorkspaceOnStartup);
    layout->addWidget(m_saveWorkspaceOnExit);
    layout->addLayout(languageRow);
    layout->addLayout(buttons);

    setValues(ApplicationSettings{});
}

void CUTTEPropertiesDialog::setValues(const ApplicationSettings& settings)
{
    m_useMainFrame->setChecked(settings.useMainFrame != 0);
    m_loadWorkspaceOnStartup->setChecked(settings.loadWorkspaceOnStartup != 0);
    m_saveWorkspaceOnExit->setChecked(settings.saveWorkspaceOnExit != 0);
    int selected = -1;
    for (int i = 0; i < m_language->count(); ++i) {
        if (m_language->itemData(i).toString().compare(QString::fromStdString(settings.language), Qt::CaseInsensitive)
            == 0) {
            selected = i;
            break;
        }
    }
    m_language->setCurrentIndex(selected);
}

ApplicationSettings CUTTEPropertiesDialog::values() const
{
    ApplicationSettings result;
    result.useMainFrame = m_useMainFrame->isChecked() ? 1 : 0;
    result.loadWorkspaceOnStartup = m_loadWorkspaceOnStartup->isChecked() ? 1 : 0;
    result.saveWorkspaceOnExit = m_saveWorkspaceOnExit->isChecked() ? 1 : 0;
    if (m_language->currentIndex() >= 0)
        result.language = m_language->currentData().toString().toStdString();
    return result;
}

} // namespace zeb::language
