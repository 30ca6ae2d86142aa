#include "app/connection/qt/ConnectProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace zeb::connection {

namespace {
constexpr int kBarWidth = 80;
}

ConnectProgress::ConnectProgress(std::function<void()> cancel, QWidget* parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("connectProgress"));
    auto* bar = new QProgressBar(this);
    // No known end: the bar only shows that something is under way.
    bar->setRange(0, 0);
    bar->setMaximumWidth(kBarWidth);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(bar);
    layout->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, [cancel = std::move(cancel)] {
        if (cancel)
            cancel();
    });
    hide();
}

void ConnectProgress::showText(const QString& text)
{
    m_label->setText(text);
    setVisible(!text.isEmpty());
}

QString ConnectProgress::text() const
{
    return isVisible() ? m_label->text() : QString();
}

} // namespace zeb::connection
