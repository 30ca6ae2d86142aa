#include "terminal/widgets/CIHDEDictionaryEditor.h"
#include "terminal/widgets/CIHTEFilterEditor.h"
#include "terminal/widgets/tests/WidgetsTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zeb::terminal {
namespace {

Dictionary twoEntries()
{
    Dictionary dictionary;
    dictionary.add("A", "a\r\n");
    dictionary.add("B", "b1\r\nb2\r\n");
    return dictionary;
}

QAction* menuAction(CIHDEDictionaryEditor& editor, const char* name)
{
    return editor.itemMenu()->findChild<QAction*>(QString::fromLatin1(name));
}

class DictionaryEditorTest : public ::testing::Test
{
protected:
    void select(int row) { m_editor.list()->setCurrentItem(m_editor.list()->topLevelItem(row)); }

    Dictionary m_dictionary = twoEntries();
    CIHDEDictionaryEditor m_editor{m_dictionary};
};

TEST_F(DictionaryEditorTest, ListsTheEntriesInOrderInTwoColumns)
{
    ASSERT_EQ(m_editor.rowCount(), 2);
    EXPECT_EQ(m_editor.list()->columnWidth(0), 100);
    EXPECT_EQ(m_editor.list()->columnWidth(1), 400);
    EXPECT_EQ(m_editor.label(1), "B");
    EXPECT_EQ(m_editor.value(1), "b1\r\nb2\r\n");
    EXPECT_EQ(m_editor.list()->currentItem(), nullptr);
    EXPECT_FALSE(m_editor.valueEdit()->isEnabled());
    select(1);
    EXPECT_EQ(m_editor.valueEdit()->toPlainText(), QStringLiteral("b1\nb2\n"));
}

TEST_F(DictionaryEditorTest, SwitchingRowsStoresTheEditBoxFirst)
{
    select(0);
    m_editor.valueEdit()->setPlainText(QStringLiteral("line 1\nline 2"));
    select(1);
    EXPECT_EQ(m_editor.value(0), "line 1\r\nline 2");
    EXPECT_EQ(m_editor.valueEdit()->toPlainText(), QStringLiteral("b1\nb2\n"));
    EXPECT_EQ(m_dictionary[0].value, "a\r\n") << "the dictionary changes only on OK";
}

TEST_F(DictionaryEditorTest, AnEmptyLabelEditKeepsTheOldLabel)
{
    QTreeWidgetItem* item = m_editor.list()->topLevelItem(0);
    item->setText(0, QString());
    EXPECT_EQ(m_editor.label(0), "A");
    item->setText(0, QStringLiteral("Renamed"));
    EXPECT_EQ(m_editor.label(0), "Renamed");
    item->setText(0, QString());
    EXPECT_EQ(m_editor.label(0), "Renamed");
}

TEST_F(DictionaryEditorTest, MenuEnablingFollowsSelectionAndCopiedPair)
{
    struct State
    {
        bool newEnabled, copy, cut, paste, rename;
    };
    const auto check = [&](const State& expected) {
        EXPECT_EQ(menuAction(m_editor, "new")->isEnabled(), expected.newEnabled);
        EXPECT_EQ(menuAction(m_editor, "copy")->isEnabled(), expected.copy);
        EXPECT_EQ(menuAction(m_editor, "cut")->isEnabled(), expected.cut);
        EXPECT_EQ(menuAction(m_editor, "paste")->isEnabled(), expected.paste);
        EXPECT_EQ(menuAction(m_editor, "rename")->isEnabled(), expected.rename);
    };
    EXPECT_EQ(m_editor.itemMenu()->objectName(), QStringLiteral("IDM_IHDE_ITEM_MENU"));
    check({true, false, false, false, false});
    select(0);
    check({true, true, true, false, true});
    m_editor.copy();
    check({true, true, true, true, true});

    // A row without a value cannot be pasted.
    m_editor.newEntry();
    EXPECT_EQ(m_editor.rowCount(), 3);
    EXPECT_EQ(m_editor.label(1), "New telecommand") << "inserted after the selected row";
    EXPECT_EQ(m_editor.valueEdit()->toPlainText(), QStringLiteral("$PKVR,"));
    m_editor.valueEdit()->clear();
    m_editor.copy();
    check({true, true, true, false, true});
}

TEST_F(DictionaryEditorTest, CutAndPasteMoveARow)
{
    select(0);
    m_editor.valueEdit()->setPlainText(QStringLiteral("edited"));
    m_editor.cut();
    ASSERT_EQ(m_editor.rowCount(), 1);
    EXPECT_EQ(m_editor.label(0), "B");
    select(0);
    m_editor.paste();
    ASSERT_EQ(m_editor.rowCount(), 2);
    EXPECT_EQ(m_editor.label(1), "A");
    EXPECT_EQ(m_editor.value(1), "edited") << "the edit box went with the cut row";
    EXPECT_EQ(m_editor.value(0), "b1\r\nb2\r\n");
    m_editor.deleteSelected();
    EXPECT_EQ(m_editor.rowCount(), 1);
}

TEST_F(DictionaryEditorTest, OkRebuildsTheDictionaryAndCancelLeavesIt)
{
    select(1);
    m_editor.valueEdit()->setPlainText(QStringLiteral("new"));
    m_editor.reject();
    EXPECT_EQ(m_dictionary.entries(), twoEntries().entries());

    m_editor.accept();
    ASSERT_EQ(m_dictionary.size(), 2U);
    EXPECT_EQ(m_dictionary[0], (DictionaryEntry{"A", "a\r\n"}));
    EXPECT_EQ(m_dictionary[1], (DictionaryEntry{"B", "new"}));
}

TEST_F(DictionaryEditorTest, SaveWritesTheRowsAndLoadReplacesThem)
{
    QTemporaryDir folder;
    const std::string path = (folder.path() + QStringLiteral("/saved.ude")).toStdString();
    select(0);
    m_editor.valueEdit()->setPlainText(QStringLiteral("no line end"));
    ASSERT_TRUE(m_editor.saveTo(path));

    Dictionary other;
    CIHDEDictionaryEditor loader(other);
    loader.loadFrom(path);
    ASSERT_EQ(loader.rowCount(), 2);
    EXPECT_EQ(loader.value(0), "no line end\r\n");
    EXPECT_EQ(other.size(), 2U) << "Load replaces the dictionary at once";

    loader.loadFrom(path + ".missing");
    EXPECT_EQ(loader.rowCount(), 0);
    EXPECT_FALSE(m_editor.saveTo(folder.path().toStdString() + "/no/such/folder/x.ude"));
}

class FilterEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_filters.add(true, "$PKVR,SET,%[Mode],%[Value]");
        m_filters.add(false, "$PKVR,ECHO,%[Text]*");
    }

    QTreeWidgetItem* item(int row) { return m_editor->list()->topLevelItem(row); }

    InputFilterList m_filters;
    std::unique_ptr<CIHTEFilterEditor> m_editor;
};

TEST_F(FilterEditorTest, EditsStayInTheDialogUntilOk)
{
    m_editor = std::make_unique<CIHTEFilterEditor>(m_filters);
    ASSERT_EQ(m_editor->list()->topLevelItemCount(), 2);
    EXPECT_EQ(item(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(item(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(m_editor->list()->columnWidth(0), 400);

    item(0)->setCheckState(0, Qt::Unchecked);
    item(1)->setText(0, QString());
    EXPECT_EQ(item(1)->text(0), QStringLiteral("$PKVR,ECHO,%[Text]*")) << "an empty edit keeps the pattern";
    item(1)->setText(0, QStringLiteral("$PKVR,PING"));
    m_editor->addEntry();
    ASSERT_EQ(m_editor->list()->topLevelItemCount(), 3);
    EXPECT_EQ(item(2)->text(0), QStringLiteral("$PKVR,"));
    EXPECT_EQ(item(2)->checkState(0), Qt::Checked);
    m_editor->list()->setCurrentItem(item(0));
    m_editor->removeEntry();

    InputFilterList expected;
    expected.add(false, "$PKVR,PING");
    expected.add(true, "$PKVR,");
    EXPECT_EQ(m_editor->edited(), expected);
    EXPECT_EQ(m_filters.size(), 2U);

    m_editor->reject();
    EXPECT_EQ(m_filters[0].pattern, "$PKVR,SET,%[Mode],%[Value]");
    m_editor->accept();
    EXPECT_EQ(m_filters, expected);
}

} // namespace
} // namespace zeb::terminal
