#include "app/language/qt/CUTTEAboutDialog.h"

#include "app/language/qt/Resources.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zeb::language {

namespace {

QLabel* label(int id, const QString& text)
{
    auto* result = new QLabel(text);
    result->setObjectName(QString::number(id));
    return result;
}

} // namespace

CUTTEAboutDialog::CUTTEAboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Resources::text(kName, QStringLiteral("About ZEB500")));

    auto* icon = new QLabel;
    icon->setPixmap(Resources::pixmap("IDR_MAINFRAME"));
    QLabel* product
        = label(kProduct, Resources::control(kName, kProduct, QStringLiteral("ZEB500 workbench for GNSS receivers")));
    QLabel* versionLabel = label(kVersionLabel, Resources::control(kName, kVersionLabel, QStringLiteral("Version")));
    QLabel* version = label(kVersionText, QString::fromLatin1(kVersion));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(Resources::control(kName, 1, QStringLiteral("OK")));
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1, 1, 2);
    layout->addWidget(versionLabel, 1, 1);
    layout->addWidget(version, 1, 2);
    layout->addWidget(ok, 2, 0, 1, 3, Qt::AlignRight);
    layout->setColumnStretch(2, 1);
}

} // namespace zeb::language
