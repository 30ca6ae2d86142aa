#pragma once

#include <QDialog>

namespace zeb::language {

// "IDD_UTTE_ABOUTBOX": the application icon, the product line (1100) and the version text
// (1101). OK is button 1.
class CUTTEAboutDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_UTTE_ABOUTBOX";
    static constexpr const char* kVersion = "2.4";
    static constexpr int kProduct = 1100;
    static constexpr int kVersionText = 1101;
    static constexpr int kVersionLabel = 1102;

    explicit CUTTEAboutDialog(QWidget* parent = nullptr);
};

} // namespace zeb::language
