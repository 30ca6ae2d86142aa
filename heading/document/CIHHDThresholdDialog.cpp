#include "heading/document/CIHHDThresholdDialog.h"

#include "app/framework/UserMessages.h"
#include "app/language/qt/Resources.h"
#include "text/Format.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace zeb::heading {

CIHHDThresholdDialog::CIHHDThresholdDialog(const Thresholds& thresholds, QWidget* parent)
    : QDialog(parent)
    , m_thresholds(thresholds)
{
    setObjectName(QStringLiteral("IDD_IHHD_THRESHOLD"));
    setWindowTitle(language::Resources::text("IDD_IHHD_THRESHOLD", QStringLiteral("Thresholds")));
    auto* form = new QFormLayout(this);
    const std::array<const char*, Thresholds::kCount> labels{"Base length", "Horizontal offset", "Vertical offset"};
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        m_edits[i] = new QLineEdit(QString::fromStdString(text::format("%lf", thresholds.values[i])));
        m_edits[i]->setObjectName(QString::number(1041 + static_cast<int>(i)));
        form->addRow(language::Resources::control("IDD_IHHD_THRESHOLD", 1041 + static_cast<unsigned>(i),
                                                  QString::fromUtf8(labels[i])),
                     m_edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

std::optional<Thresholds> CIHHDThresholdDialog::thresholds() const
{
    Thresholds edited = m_thresholds;
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        const std::optional<double> value = Thresholds::parseValue(m_edits[i]->text().toStdString());
        if (!value)
            return std::nullopt;
        edited.values[i] = *value;
    }
    return edited;
}

void CIHHDThresholdDialog::accept()
{
    // On screen the dialog stays open until every field reads.
    if (!thresholds()) {
        framework::UserMessages::show(QStringLiteral("Each threshold must be a number of 0 or more."), this);
        return;
    }
    QDialog::accept();
}

} // namespace zeb::heading
