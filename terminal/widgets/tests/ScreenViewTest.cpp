#include "terminal/widgets/CWICOEditor.h"
#include "terminal/widgets/CWICOScreenView.h"
#include "testsupport/QtWaitFor.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace zeb::terminal {
namespace {

class ScreenViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view.resize(480, 320);
        m_view.show();
    }

    CWICOScreenView m_view;
};

TEST_F(ScreenViewTest, InputLineSendsWithCrLfKeepsHistoryAndIsReadOnlyWhileInactive)
{
    CWICOEditor* input = m_view.inputLine();
    QSignalSpy sent(&m_view, &CWICOScreenView::lineEntered);
    EXPECT_TRUE(input->isReadOnly());
    QTest::keyClicks(input, QStringLiteral("ignored"));
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(sent.count(), 0);

    m_view.setInactive(false);
    EXPECT_FALSE(input->isReadOnly());
    input->clear();
    for (const char* line : {"one", "three"}) {
        QTest::keyClicks(input, QString::fromLatin1(line));
        QTest::keyClick(input, Qt::Key_Return);
        EXPECT_TRUE(input->text().isEmpty());
    }
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent.at(1).at(0).value<std::string>(), "three\r\n");

    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->text(), QStringLiteral("three"));

    m_view.setInactive(true);
    EXPECT_TRUE(input->isReadOnly());
}

} // namespace
} // namespace zeb::terminal
