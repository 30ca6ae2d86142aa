#include "app/connection/qt/CUTTEAutoConnectDialog.h"

#include "app/language/qt/Resources.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zeb::connection {

CUTTEAutoConnectDialog::CUTTEAutoConnectDialog(stream::StreamAddress& address, stream::IOSTStream& stream,
                                               QWidget* parent, AutoConnectTiming timing)
    : QDialog(parent)
    , m_address(new QLabel(this))
    , m_progress(new QProgressBar(this))
{
    setWindowTitle(language::Resources::text(kDialog, QStringLiteral("Automatic connection")));
    m_address->setObjectName(QString::number(kAddressText));
    m_address->setMinimumWidth(320);
    m_progress->setObjectName(QString::number(kProgress));
    auto* cancel = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancel->button(QDialogButtonBox::Cancel)
        ->setText(language::Resources::control(kDialog, 2, cancel->button(QDialogButtonBox::Cancel)->text()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_address);
    layout->addWidget(m_progress);
    layout->addWidget(cancel);
    connect(cancel, &QDialogButtonBox::rejected, this, &CUTTEAutoConnectDialog::reject);

    AutoConnectSequence::Callbacks callbacks;
    callbacks.progress = [this](int value, int total) { m_progress->setValue(std::clamp(value, 0, total)); };
    callbacks.trying = [this](const std::string& text) { m_address->setText(QString::fromStdString(text)); };
    callbacks.finished = [this](int result) { done(result); };
    m_sequence = std::make_unique<AutoConnectSequence>(address, stream, std::move(callbacks), std::move(timing));
    m_progress->setRange(0, m_sequence->total());
    m_progress->setValue(0);
}

CUTTEAutoConnectDialog::~CUTTEAutoConnectDialog() = default;

void CUTTEAutoConnectDialog::start()
{
    if (m_started)
        return;
    m_started = true;
    m_sequence->start();
}

void CUTTEAutoConnectDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    start();
}

void CUTTEAutoConnectDialog::reject()
{
    m_sequence->cancel();
    QDialog::reject();
}

} // namespace zeb::connection
