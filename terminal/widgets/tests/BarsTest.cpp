#include "terminal/core/DictionaryPlaces.h"
#include "terminal/widgets/CIHDEDictionaryEditor.h"
#include "terminal/widgets/CIHTEButtonBar.h"
#include "terminal/widgets/CIHTEToolBar.h"
#include "testsupport/DialogAnswers.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zeb::terminal {
namespace {

void writeFile(const std::string& path, std::string_view contents)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

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

TEST_F(BarsTest, ToolBarSendsTheSelectedEntryOnlyWhileTheStreamIsOpen)
{
    std::filesystem::remove_all(DictionaryPlaces::folder());
    EXPECT_EQ(CIHTEToolBar().list()->count(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(DictionaryPlaces::folder())) << "created when missing";
    writeFile(DictionaryPlaces::toolBarDictionary(), kToolBarFile);
    CIHTEToolBar bar;
    QSignalSpy sent(&bar, &CIHTEToolBar::sendRequested);
    ASSERT_EQ(bar.list()->count(), 2);

    QToolButton* send = bar.button("IDI_IHTE_SEND");
    ASSERT_NE(send, nullptr);
    for (const char* name : {"IDI_IHTE_SEND", "IDI_IHTE_SEND_FILE", "IDI_IHTE_SUSPEND"}) {
        EXPECT_FALSE(bar.button(name)->isEnabled()) << name;
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

    testsupport::DialogAnswers answers;
    answers.next<CIHDEDictionaryEditor>([](CIHDEDictionaryEditor& editor) {
        editor.list()->setCurrentItem(editor.list()->topLevelItem(2));
        editor.copy();
        editor.paste();
        editor.accept();
        return editor.result();
    });
    bar.optionsButton()->click();
    ASSERT_EQ(bar.buttons().size(), 4U);
    EXPECT_EQ(bar.buttons()[3]->text(), QStringLiteral("CCC"));
    EXPECT_TRUE(bar.buttons()[3]->isEnabled());
}

} // namespace
} // namespace zeb::terminal
