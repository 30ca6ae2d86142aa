#include "terminal/widgets/CIHTEPromptDialog.h"

#include "app/framework/DialogRunner.h"
#include "app/language/qt/Resources.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zeb::terminal {

using language::Resources;

namespace {

QString fromText(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* dialogButton(int id, const QString& fallback)
{
    auto* button = new QPushButton(Resources::control(CIHTEPromptDialog::kName, static_cast<unsigned>(id), fallback));
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CIHTEPromptDialog::CIHTEPromptDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(Resources::text(kName, QStringLiteral("Values")));

    auto* grid = new QGridLayout;
    for (std::size_t row = 0; row < kShownRows; ++row) {
        auto* label = new QLabel;
        label->setObjectName(QString::number(kLabelBase + static_cast<int>(row)));
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::number(kEditBase + static_cast<int>(row)));
        edit->setMaxLength(kMaxLength);
        edit->setMinimumWidth(240);
        label->setBuddy(edit);
        grid->addWidget(label, static_cast<int>(row), 0);
        grid->addWidget(edit, static_cast<int>(row), 1);
        m_labels[row] = label;
        m_edits[row] = edit;
    }

    QPushButton* ok = dialogButton(1, QStringLiteral("OK"));
    QPushButton* cancel = dialogButton(2, QStringLiteral("Cancel"));
    QPushButton* third = dialogButton(kThirdResult, QStringLiteral("Don't ask again"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(third, &QPushButton::clicked, this, [this] { done(kThirdResult); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(third);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    // The dialog takes the size of what it shows, so it shrinks to the rows in use.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CIHTEPromptDialog::setRows(const std::vector<PromptRow>& rows)
{
    m_shown = static_cast<int>(std::min(rows.size(), kShownRows));
    for (std::size_t row = 0; row < kShownRows; ++row) {
        const bool used = static_cast<int>(row) < m_shown;
        m_labels[row]->setText(used ? fromText(rows[row].label) : QString());
        m_edits[row]->setText(used ? fromText(rows[row].value) : QString());
        m_labels[row]->setVisible(used);
        m_edits[row]->setVisible(used);
    }
    if (m_shown > 0) {
        m_edits[0]->setFocus();
        m_edits[0]->selectAll();
    }
    adjustSize();
}

PromptResult CIHTEPromptDialog::prompt(std::vector<PromptRow>& rows)
{
    setRows(rows);
    const int result = framework::DialogRunner::run(*this);
    if (result == kThirdResult) {
        return PromptResult::Third;
    }
    if (result != QDialog::Accepted) {
        return PromptResult::Cancel;
    }
    // The rows given to this prompt, never more, whatever the dialog showed before.
    const int shown = std::min(m_shown, static_cast<int>(rows.size()));
    for (int row = 0; row < shown; ++row) {
        rows[static_cast<std::size_t>(row)].value = m_edits[static_cast<std::size_t>(row)]->text().toStdString();
    }
    return PromptResult::Accept;
}

} // namespace zeb::terminal
