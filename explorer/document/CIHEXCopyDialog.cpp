#include "explorer/document/CIHEXCopyDialog.h"

#include "explorer/core/EntryTexts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace zeb::explorer {

CIHEXCopyDialog::CIHEXCopyDialog(QWidget* parent)
    : QDialog(parent)
    , m_source(new QLabel)
    , m_destination(new QLabel)
    , m_status(new QLabel(QStringLiteral("copy in progress ...")))
    , m_bar(new QProgressBar)
{
    setWindowTitle(QStringLiteral("Copy"));
    setModal(false);
    m_bar->setRange(0, 100);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("From:"), m_source);
    layout->addRow(QStringLiteral("To:"), m_destination);
    layout->addRow(m_status);
    layout->addRow(m_bar);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        m_status->setText(QStringLiteral("cancelling ..."));
        emit cancelled();
    });
}

void CIHEXCopyDialog::startFile(const std::string& source, const std::string& destination)
{
    m_source->setText(QString::fromUtf8(source));
    m_destination->setText(QString::fromUtf8(destination));
    m_status->setText(QStringLiteral("copy in progress ..."));
    m_bar->setValue(0);
    m_started = std::chrono::steady_clock::now();
}

void CIHEXCopyDialog::setPercent(unsigned percent)
{
    m_bar->setValue(static_cast<int>(percent));
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_started);
    const std::string left = EntryTexts::remaining(static_cast<std::uint64_t>(elapsed.count()), percent);
    if (!left.empty())
        m_status->setText(QString::fromStdString(left));
}

int CIHEXCopyDialog::percent() const
{
    return m_bar->value();
}

QString CIHEXCopyDialog::statusText() const
{
    return m_status->text();
}

} // namespace zeb::explorer
