#include "terminal/core/DictionaryPlaces.h"
#include "terminal/widgets/CIHDEDictionaryEditor.h"
#include "terminal/widgets/CIHTEButtonBar.h"
#include "terminal/widgets/CIHTEToolBar.h"
#include "terminal/widgets/tests/WidgetsTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace zeb::terminal {
namespace {

using testing::whenModal;
using testing::writeFile;

constexpr const char* kToolBarFile = "Hello\r\n\thello\r\nTime\r\n\t$PKVR,TIME\r\n\tsecond line\r\n";
constexpr const char* kButtonFile = "A\r\n\ta\r\nBB\r\n\tbb\r\nCCC\r\n\tccc\r\nNoValue\r\n";

class BarsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        std::filesystem::remove(DictionaryPlaces::toolBarDictionary());
        std::filesystem::remove(DictionaryPlaces::buttonBarDictionary());
    }
};

TEST_F(BarsTest, ToolBarCreatesTheFolderAndShowsNothingWithoutADictionary)
{
    std::filesystem::remove_all(DictionaryPlaces::folder());
    CIHTEToolBar bar;
    EXPECT_TRUE(std::filesystem::is_directory(DictionaryPlaces::folder()));
    EXPECT_EQ(bar.list()->count(), 0);
}

TEST_F(BarsTest, ToolBarSendsTheSelectedEntryOnlyWhileTheStreamIsOpen)
{
    writeFile(DictionaryPlaces::toolBarDictionary(), kToolBarFile);
    CIHTEToolBar bar;
    QSignalSpy sent(&bar, &CIHTEToolBar::sendRequested);
    ASSERT_EQ(bar.list()->count(), 2);
    EXPECT_EQ(bar.list()->itemText(1), QStringLiteral("Time"));
    EXPECT_EQ(bar.list()->currentIndex(), -1);

    QToolButton* send = bar.button("IDI_IHTE_SEND");
    ASSERT_NE(send, nullptr);
    for (const char* name : {"IDI_IHTE_SEND", "IDI_IHTE_SEND_FILE", "IDI_IHTE_SUSPEND"}) {
        EXPECT_FALSE(bar.button(name)->isEnabled()) << name;
    }
    for (const char* name : {"IDI_IHTE_OPTION", "IDI_IHTE_CLEAR", "IDI_IHTE_INPUT_FILTER", "IDI_IHTE_OUTPUT_FILTER"}) {
        EXPECT_TRUE(bar.button(name)->isEnabled()) << name;
    }
    bar.setStreamOpen(true);
    for (const char* name : {"IDI_IHTE_SEND", "IDI_IHTE_SEND_FILE", "IDI_IHTE_SUSPEND"}) {
        EXPECT_TRUE(bar.button(name)->isEnabled()) << name;
    }

    send->click();
    EXPECT_EQ(sent.count(), 0) << "nothing is selected";
    bar.list()->setCurrentIndex(1);
    send->click();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).value<std::string>(), "$PKVR,TIME\r\nsecond line\r\n");

    bar.setStreamOpen(false);
    send->click();
    EXPECT_EQ(sent.count(), 1);
}

TEST_F(BarsTest, ToolBarButtonsSignalTheViewWhichOwnsTheSuspendedState)
{
    CIHTEToolBar bar;
    bar.setStreamOpen(true);
    QSignalSpy suspend(&bar, &CIHTEToolBar::suspend);
    QSignalSpy clear(&bar, &CIHTEToolBar::clear);
    QSignalSpy inputFilter(&bar, &CIHTEToolBar::inputFilter);
    QSignalSpy sendFile(&bar, &CIHTEToolBar::sendFile);
    QSignalSpy options(&bar, &CIHTEToolBar::options);
    bar.button("IDI_IHTE_CLEAR")->click();
    bar.button("IDI_IHTE_INPUT_FILTER")->click();
    bar.button("IDI_IHTE_SEND_FILE")->click();
    bar.button("IDI_IHTE_OPTION")->click();
    EXPECT_EQ(clear.count() + inputFilter.count() + sendFile.count() + options.count(), 4);

    QToolButton* button = bar.button("IDI_IHTE_SUSPEND");
    button->click();
    EXPECT_EQ(suspend.count(), 1);
    EXPECT_FALSE(button->isChecked()) << "checked only when the view says so";
    bar.setSuspended(true);
    EXPECT_TRUE(button->isChecked());
}

TEST_F(BarsTest, OutputFilterButtonEditsTheDictionaryAndRefillsTheList)
{
    writeFile(DictionaryPlaces::toolBarDictionary(), kToolBarFile);
    CIHTEToolBar bar;
    whenModal<CIHDEDictionaryEditor>([](CIHDEDictionaryEditor& editor) {
        editor.list()->setCurrentItem(nullptr);
        editor.copy();
        editor.list()->setCurrentItem(editor.list()->topLevelItem(0));
        editor.cut();
        editor.accept();
    });
    bar.button("IDI_IHTE_OUTPUT_FILTER")->click();
    ASSERT_EQ(bar.list()->count(), 1);
    EXPECT_EQ(bar.list()->itemText(0), QStringLiteral("Time"));
    EXPECT_EQ(bar.dictionary().size(), 1U);
}

TEST_F(BarsTest, ButtonBarFlowsButtonsAndWrapsWhenNarrow)
{
    writeFile(DictionaryPlaces::buttonBarDictionary(), kButtonFile);
    CIHTEButtonBar bar;
    EXPECT_EQ(bar.barSize(), QSize(100, 100));
    const auto& buttons = bar.buttons();
    ASSERT_EQ(buttons.size(), 3U) << "the label without a value is dropped";
    EXPECT_EQ(bar.optionsButton()->pos(), QPoint(4, 4));
    const int optionsHeight = bar.optionsButton()->height();

    bar.setBarSize(QSize(600, 40));
    EXPECT_EQ(bar.barSize(), QSize(600, 40));
    EXPECT_EQ(buttons[0]->x(), bar.optionsButton()->width() + 6);
    for (QPushButton* button : buttons) {
        EXPECT_EQ(button->y(), 4);
        EXPECT_EQ(button->height(), optionsHeight + 5);
    }
    EXPECT_EQ(buttons[1]->x(), buttons[0]->geometry().right() + 1 + 2);
    const QFontMetrics metrics(bar.labelFont());
    EXPECT_EQ(buttons[2]->width(), metrics.horizontalAdvance(QStringLiteral("CCC")) + 12);
    EXPECT_EQ(bar.sizeHint(), QSize(buttons[2]->geometry().right() + 1 + 4, optionsHeight + 5 + 8));

    // Narrower than two buttons: each on its own row.
    bar.setBarSize(QSize(40, 200));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->x(), 4) << i;
        EXPECT_EQ(buttons[i]->y(), 4 + static_cast<int>(i + 1) * (optionsHeight + 5 + 2)) << i;
    }
    EXPECT_EQ(bar.sizeHint().height(), buttons.back()->geometry().bottom() + 1 + 4);
    EXPECT_EQ(bar.heightForWidth(600), optionsHeight + 5 + 8);
}

TEST_F(BarsTest, ButtonBarSendsOnlyWhileTheStreamIsOpenAndRebuildsAfterEditing)
{
    writeFile(DictionaryPlaces::buttonBarDictionary(), kButtonFile);
    CIHTEButtonBar bar;
    QSignalSpy sent(&bar, &CIHTEButtonBar::sendRequested);
    ASSERT_EQ(bar.buttons().size(), 3U);
    EXPECT_FALSE(bar.buttons()[1]->isEnabled());
    bar.buttons()[1]->click();
    EXPECT_EQ(sent.count(), 0);

    bar.setStreamOpen(true);
    bar.buttons()[1]->click();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).value<std::string>(), "bb\r\n");

    whenModal<CIHDEDictionaryEditor>([](CIHDEDictionaryEditor& editor) {
        editor.list()->setCurrentItem(editor.list()->topLevelItem(2));
        editor.copy();
        editor.paste();
        editor.accept();
    });
    bar.optionsButton()->click();
    ASSERT_EQ(bar.buttons().size(), 4U);
    EXPECT_EQ(bar.buttons()[3]->text(), QStringLiteral("CCC"));
    EXPECT_TRUE(bar.buttons()[3]->isEnabled());
}

TEST_F(BarsTest, ButtonBarDisablesButtonsBeyondTheCommandLimit)
{
    std::string file;
    for (int i = 0; i < 102; ++i) {
        file += "B" + std::to_string(i) + "\r\n\tv\r\n";
    }
    writeFile(DictionaryPlaces::buttonBarDictionary(), file);
    CIHTEButtonBar bar;
    bar.setStreamOpen(true);
    ASSERT_EQ(bar.buttons().size(), 102U);
    EXPECT_TRUE(bar.buttons()[99]->isEnabled());
    EXPECT_FALSE(bar.buttons()[100]->isEnabled());
}

} // namespace
} // namespace zeb::terminal
