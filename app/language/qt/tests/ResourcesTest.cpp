#include "app/language/qt/Resources.h"

#include "app/language/ResourceLibrary.h"
#include "testsupport/ScratchHome.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <gtest/gtest.h>

#include <memory>

namespace zeb::language {
namespace {

using testsupport::ScratchHome;

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
            // Status pane and tool bar button images are small; document types are 32 x 32.
            const int size = name.startsWith("IDI_UTTE_STATUS_") || name.startsWith("IDI_IHTE_") ? 16 : 32;
            EXPECT_EQ(image.size(), QSize(size, size)) << code << " " << name.constData();
            EXPECT_FALSE(Resources::icon(name.constData()).isNull());
        }
    }
}

} // namespace
} // namespace zeb::language
