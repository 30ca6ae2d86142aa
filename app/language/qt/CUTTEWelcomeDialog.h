#pragma once

#include <QDialog>

#include <string>

namespace zeb::language {

// "IDD_UTTE_WELCOME": shown at first start to choose the language. Its three buttons end it
// with 1098 (English), 1099 (French) or 1100 (Spanish); closing it otherwise chooses nothing.
// Texts come from the resource library in use (Resources), English when it lacks one.
class CUTTEWelcomeDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_UTTE_WELCOME";
    static constexpr int kIntroduction = 1097;
    static constexpr int kEnglish = 1098;
    static constexpr int kFrench = 1099;
    static constexpr int kSpanish = 1100;

    explicit CUTTEWelcomeDialog(QWidget* parent = nullptr);

    // The language code a result of exec() chooses: "ENU", "FRA", "ESP", or empty.
    static std::string codeForResult(int result);
};

} // namespace zeb::language
