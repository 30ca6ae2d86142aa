#include "app/language/LanguageList.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/CUTTEAboutDialog.h"
#include "app/language/qt/CUTTEPropertiesDialog.h"
#include "app/language/qt/CUTTEWelcomeDialog.h"
#include "app/language/qt/Resources.h"
#include "app/language/tests/ScratchHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zeb::language {
namespace {

using testing::ScratchHome;

class Dialogs : public ::testing::Test
{
protected:
    void use(const char* code)
    {
        m_library = ResourceLibrary::load(code);
        ASSERT_NE(m_library, nullptr) << code;
        Resources::setLibrary(m_library.get());
    }
    void TearDown() override { Resources::setLibrary(nullptr); }

    ScratchHome m_home;
    std::unique_ptr<ResourceLibrary> m_library;
};

template <typename Widget>
Widget* control(QWidget& dialog, int id)
{
    return dialog.findChild<Widget*>(QString::number(id));
}

TEST_F(Dialogs, WelcomeButtonsEndTheDialogWithTheirIdentifiers)
{
    use("ESP");
    for (int id : {1098, 1099, 1100}) {
        CUTTEWelcomeDialog dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bienvenido a ZEB500"));
        QPushButton* button = control<QPushButton>(dialog, id);
        ASSERT_NE(button, nullptr) << id;
        QTimer::singleShot(0, button, &QPushButton::click);
        EXPECT_EQ(dialog.exec(), id);
    }
    CUTTEWelcomeDialog dialog;
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), 0);

    EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(1098), "ENU");
    EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(1099), "FRA");
    EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(1100), "ESP");
    for (int other : {0, 1, 2, 1097, 1101, -1})
        EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(other), "") << other;
}

TEST_F(Dialogs, WithoutALibraryNoButtonIsBlank)
{
    CUTTEWelcomeDialog welcome;
    for (int id : {1097, 1098, 1099, 1100}) {
        QWidget* widget = welcome.findChild<QWidget*>(QString::number(id));
        ASSERT_NE(widget, nullptr) << id;
        const QString text = widget->property("text").toString();
        EXPECT_FALSE(text.isEmpty()) << id;
    }
    CUTTEPropertiesDialog properties(LanguageList{});
    for (int id : {1091, 1092, 1093, 1, 2})
        EXPECT_FALSE(control<QAbstractButton>(properties, id)->text().isEmpty()) << id;
    CUTTEAboutDialog about;
    EXPECT_FALSE(control<QLabel>(about, 1100)->text().isEmpty());
}

TEST_F(Dialogs, PropertiesListTheLanguagesAndRoundTripTheirValues)
{
    use("FRA");
    LanguageList languages;
    languages.push("English", "ENU");
    languages.push("Français", "FRA");
    languages.push("Español", "ESP");
    CUTTEPropertiesDialog dialog(languages);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Propriétés"));
    EXPECT_EQ(control<QCheckBox>(dialog, 1092)->text(), QStringLiteral("Charger l'espace de travail au démarrage"));

    auto* combo = control<QComboBox>(dialog, 1095);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Español"));
    EXPECT_EQ(combo->itemData(0).toString(), QStringLiteral("ESP"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("English"));

    ApplicationSettings preset;
    preset.useMainFrame = 1;
    preset.loadWorkspaceOnStartup = 0;
    preset.saveWorkspaceOnExit = 1;
    preset.language = "fra";
    dialog.setValues(preset);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Français"));
    EXPECT_TRUE(control<QCheckBox>(dialog, 1091)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, 1092)->isChecked());
    preset.language = "FRA";
    EXPECT_EQ(dialog.values(), preset);

    // The user's edits are what the dialog gives back.
    control<QCheckBox>(dialog, 1093)->setChecked(false);
    combo->setCurrentIndex(2);
    const ApplicationSettings edited = dialog.values();
    EXPECT_EQ(edited.saveWorkspaceOnExit, 0);
    EXPECT_EQ(edited.language, "ENU");

    preset.language = "DEU"; // not installed: nothing selected, no language
    dialog.setValues(preset);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(dialog.values().language, "");

    QTimer::singleShot(0, control<QPushButton>(dialog, 1), &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, control<QPushButton>(dialog, 2), &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST_F(Dialogs, AboutShowsTheVersionInControl1101)
{
    use("ENU");
    CUTTEAboutDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About ZEB500"));
    ASSERT_NE(control<QLabel>(dialog, 1101), nullptr);
    EXPECT_EQ(control<QLabel>(dialog, 1101)->text(), QStringLiteral("2.4"));
    EXPECT_EQ(control<QLabel>(dialog, 1100)->text(), QStringLiteral("ZEB500 workbench for GNSS receivers"));
    QTimer::singleShot(0, control<QPushButton>(dialog, 1), &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

} // namespace
} // namespace zeb::language
