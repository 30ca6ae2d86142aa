#include "app/language/qt/Resources.h"

#include "app/language/LanguageList.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/CUTTEAboutDialog.h"
#include "app/language/qt/CUTTEPropertiesDialog.h"
#include "app/language/qt/CUTTEWelcomeDialog.h"
#include "testsupport/ScratchHome.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace zeb::language {
namespace {

using testsupport::ScratchHome;

// Keeps a library in use for one test (the menus, icons and dialogs take their texts from it) and clears it after,
// so no test sees another's.
class WithLibrary
{
public:
    explicit WithLibrary(const char* code)
        : m_library(ResourceLibrary::load(code))
    {
        Resources::setLibrary(m_library.get());
    }
    ~WithLibrary() { Resources::setLibrary(nullptr); }
    bool loaded() const { return m_library != nullptr; }

private:
    ScratchHome m_home;
    std::unique_ptr<ResourceLibrary> m_library;
};

TEST(Resources, BuildsTheMainMenuWithCommandIdentifiers)
{
    WithLibrary english("ENU");
    ASSERT_TRUE(english.loaded());
    QMenuBar bar;
    ASSERT_TRUE(Resources::buildMenu(128, bar));
    ASSERT_TRUE(Resources::buildMenu(128, bar)); // replaces, never appends
    EXPECT_EQ(bar.actions().size(), 5);

    QMenu* file = bar.actions().front()->menu();
    QAction* open = file->actions().front();
    EXPECT_EQ(open->text(), QStringLiteral("&Open workspace..."));
    EXPECT_EQ(open->data().toInt(), 33302);
    EXPECT_EQ(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    auto* recent = file->findChild<QAction*>(QStringLiteral("recentFiles"));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->isSeparator());
    EXPECT_FALSE(Resources::buildMenu(129, bar));
}

TEST(Resources, EveryIconLoadsInEveryLanguage)
{
    const QDir icons(qEnvironmentVariable("ZEB500_SOURCE_DIR") + QStringLiteral("/app/language/icons"));
    const QStringList files = icons.entryList({QStringLiteral("*.xpm")}, QDir::Files);
    ASSERT_GE(files.size(), 16);
    for (const char* code : {"ENU", "FRA", "ESP", "DEU", "ITA"}) {
        WithLibrary language(code);
        ASSERT_TRUE(language.loaded()) << code;
        for (const QString& file : files) {
            const QByteArray name = file.chopped(4).toUtf8();
            const QPixmap image = Resources::pixmap(name.constData());
            ASSERT_FALSE(image.isNull()) << code << " " << name.constData();
            // Status panes and a window's tool bar buttons (IDI_IHxx_NAME) are small; document
            // types (IDI_IHxx) are 32 x 32; the recorder's level meter is a strip as high as a button.
            const bool button = name.startsWith("IDI_IH") && name.size() > 8;
            const int size = name.startsWith("IDI_UTTE_STATUS_") || button ? 16 : 32;
            const int width = name.startsWith("IDI_IHDM_LEVEL_") ? 51 : size;
            EXPECT_EQ(image.size(), QSize(width, size)) << code << " " << name.constData();
            EXPECT_FALSE(Resources::icon(name.constData()).isNull());
        }
    }
}

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

TEST(Dialogs, ButtonsEndTheDialogsWithTheirResults)
{
    WithLibrary spanish("ESP");
    ASSERT_TRUE(spanish.loaded());
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

TEST(Dialogs, PropertiesListTheLanguagesAndRoundTripTheirValues)
{
    WithLibrary french("FRA");
    ASSERT_TRUE(french.loaded());
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
