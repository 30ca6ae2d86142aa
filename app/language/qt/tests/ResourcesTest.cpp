#include "app/language/qt/Resources.h"

#include "app/language/ResourceLibrary.h"
#include "app/language/tests/ScratchHome.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zeb::language {
namespace {

using testing::ScratchHome;

// Keeps a library in use for one test and clears it after, so no test sees another's.
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

std::vector<int> commandsOf(const QMenuBar& bar)
{
    std::vector<int> commands;
    for (QAction* top : bar.actions()) {
        if (!top->menu())
            continue;
        for (QAction* action : top->menu()->actions()) {
            if (action->data().isValid())
                commands.push_back(action->data().toInt());
        }
    }
    return commands;
}

TEST(Resources, WithoutALibraryTextsFallBackAndNothingElseExists)
{
    Resources::setLibrary(nullptr);
    EXPECT_EQ(Resources::text("33311"), QString());
    EXPECT_EQ(Resources::text("33311", QStringLiteral("fallback")), QStringLiteral("fallback"));
    EXPECT_EQ(Resources::string(33311), QString());
    EXPECT_TRUE(Resources::icon("IDI_IHTE").isNull());
    QMenuBar bar;
    bar.addMenu(QStringLiteral("old"));
    EXPECT_FALSE(Resources::buildMenu(128, bar));
    EXPECT_TRUE(bar.actions().isEmpty());
}

TEST(Resources, TextsAndControlsComeFromTheLibraryInUse)
{
    WithLibrary french("FRA");
    ASSERT_TRUE(french.loaded());
    EXPECT_EQ(Resources::string(33311), QStringLiteral("Français"));
    EXPECT_EQ(Resources::control("IDD_UTTE_PROPERTIES", 2, QStringLiteral("Cancel")), QStringLiteral("Annuler"));
    EXPECT_EQ(Resources::control("IDD_UTTE_PROPERTIES", 4242, QStringLiteral("Fallback")), QStringLiteral("Fallback"));
    EXPECT_EQ(Resources::text("IDD_UTTE_ABOUTBOX"), QStringLiteral("À propos de ZEB500"));
}

TEST(Resources, BuildsTheMainMenuWithCommandIdentifiers)
{
    WithLibrary english("ENU");
    ASSERT_TRUE(english.loaded());
    QMenuBar bar;
    ASSERT_TRUE(Resources::buildMenu(128, bar));
    ASSERT_TRUE(Resources::buildMenu(128, bar)); // replaces, never appends
    QStringList titles;
    for (QAction* top : bar.actions())
        titles << top->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Connection", "&View", "&Tools", "&Help"}));
    const std::vector<int> expected{33302, 33301, 33310, 33307, 57606, 57665, 33303,
                                    33304, 59392, 59393, 33309, 33323, 33308, 57664};
    EXPECT_EQ(commandsOf(bar), expected);

    QMenu* file = bar.actions().front()->menu();
    QAction* open = file->actions().front();
    EXPECT_EQ(open->text(), QStringLiteral("&Open workspace..."));
    EXPECT_EQ(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    auto* recent = file->findChild<QAction*>(QStringLiteral("recentFiles"));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(file->actions().contains(recent));
    EXPECT_TRUE(recent->isSeparator());
    EXPECT_FALSE(Resources::buildMenu(129, bar));
}

TEST(Resources, EveryLanguageBuildsTheSameCommands)
{
    std::vector<int> english;
    for (const char* code : {"ENU", "FRA", "ESP", "DEU", "ITA"}) {
        WithLibrary language(code);
        ASSERT_TRUE(language.loaded()) << code;
        QMenuBar bar;
        ASSERT_TRUE(Resources::buildMenu(128, bar)) << code;
        if (english.empty())
            english = commandsOf(bar);
        EXPECT_EQ(commandsOf(bar), english) << code;
    }
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
            // Status pane and tool bar button images are small; document types are 32 x 32.
            const int size = name.startsWith("IDI_UTTE_STATUS_") || name.startsWith("IDI_IHTE_") ? 16 : 32;
            EXPECT_EQ(image.size(), QSize(size, size)) << code << " " << name.constData();
            EXPECT_FALSE(Resources::icon(name.constData()).isNull());
        }
    }
}

} // namespace
} // namespace zeb::language
