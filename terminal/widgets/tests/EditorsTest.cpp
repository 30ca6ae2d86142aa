#include "terminal/widgets/CIHDEDictionaryEditor.h"
#include "terminal/widgets/CIHTEFilterEditor.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
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

class DictionaryEditorTest : public ::testing::Test
{
protected:
    void select(int row) { m_editor.list()->setCurrentItem(m_editor.list()->topLevelItem(row)); }

    Dictionary m_dictionary = twoEntries();
    CIHDEDictionaryEditor m_editor{m_dictionary};
};

TEST_F(DictionaryEditorTest, SwitchingRowsStoresTheEditBoxFirst)
{
    select(0);
    m_editor.valueEdit()->setPlainText(QStringLiteral("line 1\nline 2"));
    select(1);
    EXPECT_EQ(m_editor.value(0), "line 1\r\nline 2");
    EXPECT_EQ(m_editor.valueEdit()->toPlainText(), QStringLiteral("b1\nb2\n"));
    EXPECT_EQ(m_dictionary[0].value, "a\r\n") << "the dictionary changes only on OK";
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
