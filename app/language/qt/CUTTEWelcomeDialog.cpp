#include "app/language/qt/CUTTEWelcomeDialog.h"

#include "app/language/qt/Resources.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zeb::language {

namespace {

QString fallbackText(int control)
{
    switch (control) {
    case CUTTEWelcomeDialog::kIntroduction:
        return QStringLiteral("Welcome to ZEB500. Please choose the language of the workbench.");
    case CUTTEWelcomeDialog::kEnglish:
        return QStringLiteral("English");
    case CUTTEWelcomeDialog::kFrench:
        return QStringLiteral("Français");
    default:
        return QStringLiteral("Español");
    }
}

} // namespace

CUTTEWelcomeDialog::CUTTEWelcomeDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Resources::text(kName, QStringLiteral("Welcome to ZEB500")));
    setWindowIcon(Resources::icon("IDR_MAINFRAME"));

    auto* introduction = new QLabel(Resources::control(kName, kIntroduction, fallbackText(kIntroduction)));
    introduction->setObjectName(QString::number(kIntroduction));
    introduction->setWordWrap(true);
    introduction->setMinimumWidth(360);

    auto* buttons = new QHBoxLayout;
    for (int id : {kEnglish, kFrench, kSpanish}) {
        auto* button = new QPushButton(Resources::control(kName, static_cast<unsigned>(id), fallbackText(id)));
        button->setObjectName(QString::number(id));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id] { done(id); });
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(introduction);
    layout->addLayout(buttons);
}

std::string CUTTEWelcomeDialog::codeForResult(int result)
{
    switch (result) {
    case kEnglish:
        return "ENU";
    case kFrench:
        return "FRA";
    case kSpanish:
        return "ESP";
    default:
        return {};
    }
}

} // namespace zeb::language
