#pragma once

#include "app/language/ApplicationSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

namespace zeb::language {

class LanguageList;

// "IDD_UTTE_PROPERTIES": check boxes 1091-1093 edit useMainFrame, loadWorkspaceOnStartup and
// saveWorkspaceOnExit; combo box 1095 lists the languages by their own names, each item
// carrying its code (item data, a QString). OK is button 1, Cancel button 2.
class CUTTEPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_UTTE_PROPERTIES";
    static constexpr int kUseMainFrame = 1091;
    static constexpr int kLoadWorkspaceOnStartup = 1092;
    static constexpr int kSaveWorkspaceOnExit = 1093;
    static constexpr int kLanguage = 1095;

    explicit CUTTEPropertiesDialog(const LanguageList& languages, QWidget* parent = nullptr);

    // Presets the controls; a language not in the list leaves the combo box without selection.
    void setValues(const ApplicationSettings& settings);
    // The values shown; language is empty while no language is selected.
    ApplicationSettings values() const;

private:
    QCheckBox* m_useMainFrame;
    QCheckBox* m_loadWorkspaceOnStartup;
    QCheckBox* m_saveWorkspaceOnExit;
    QComboBox* m_language;
};

} // namespace zeb::language
