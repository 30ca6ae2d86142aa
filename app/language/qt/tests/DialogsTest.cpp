#include "app/language/LanguageList.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/CUTTEAboutDialog.h"
#include "app/language/qt/CUTTEPropertiesDialog.h"
#include "app/language/qt/CUTTEWelcomeDialog.h"
#include "app/language/qt/Resources.h"
#include "testsupport/ScratchHome.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace zeb::language {
namespace {

using testsupport::ScratchHome;

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

// The result a click on button `id` ends the dialog with (the dialog is never shown).
int resultOfClick(QDialog& dialog, int id)
{
    auto* button = control<QPushButton>(dialog, id);
    if (!button)
        return -1;
    dialog.setResult(-2);
    button->click();
    return dialog.result();
}

TEST_F(Dialogs, ButtonsEndTheDialogsWithTheirResults)
{
    use("ESP");
    CUTTEWelcomeDialog welcome;
    EXPECT_EQ(welcome.windowTitle(), QStringLiteral("Bienvenido a ZEB500"));
    const std::pair<int, const char*> languages[] = {{1098, "ENU"}, {1099, "FRA"}, {1100, "ESP"}};
    for (const auto& [id, code] : languages) {
        EXPECT_EQ(resultOfClick(welcome, id), id);
        EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(id), code);
    }
    for (int other : {0, 1, 1097, 1101})
        EXPECT_EQ(CUTTEWelcomeDialog::codeForResult(other), "") << other;

    CUTTEPropertiesDialog properties(LanguageList{});
    EXPECT_EQ(resultOfClick(properties, 1), QDialog::Accepted);
    EXPECT_EQ(resultOfClick(properties, 2), QDialog::Rejected);
    CUTTEAboutDialog about;
    EXPECT_EQ(resultOfClick(about, 1), QDialog::Accepted);
}

TEST_F(Dialogs, PropertiesListTheLanguagesAndRoundTripTheirValues)
{
    use("FRA");
    LanguageList languages;
    languages.push("English", "ENU");
    languages.push("Français", "FRA");
    languages.push("Español", "ESP");
    CUTTEPropertiesDialog dialog(languages);

    auto* combo = control<QComboBox>(dialog, 1095);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemData(0).toString(), QStringLiteral("ESP")) << "sorted by name";

    ApplicationSettings preset;
    preset.useMainFrame = 1;
    preset.loadWorkspaceOnStartup = 0;
    preset.saveWorkspaceOnExit = 1;
    preset.language = "fra";
    dialog.setValues(preset);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Français"));
    preset.language = "FRA";
    EXPECT_EQ(dialog.values(), preset);

    combo->setCurrentIndex(2);
    EXPECT_EQ(dialog.values().language, "ENU");

    preset.language = "DEU"; // not installed: nothing selected, no language
    dialog.setValues(preset);
    EXPECT_EQ(dialog.values().language, "");
}

} // namespace
} // namespace zeb::language
