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

TEST_F(ScreenViewTest, ScrollBarsFollowTheTextAfterManyLines)
{
    for (int i = 0; i < 300; ++i) {
        m_view.addText(0x000000, "line " + std::to_string(i) + "\r\n");
    }
    // The refresh comes by itself, shortly after.
    QScrollBar* vertical = m_view.verticalBar();
    ASSERT_TRUE(testsupport::qtWaitFor([&] { return vertical->maximum() == 254; }, "the scroll bar's refresh"));

    const ScreenText& text = m_view.text();
    ASSERT_EQ(text.lines().lineCount(), 255);
    EXPECT_EQ(text.lines().line(0), "line 45");
    const int visible = text.visibleLines();
    ASSERT_GT(visible, 0);
    EXPECT_EQ(vertical->pageStep(), visible);
    EXPECT_EQ(vertical->value(), 255 - visible);
    EXPECT_EQ(m_view.horizontalBar()->maximum(), ScreenText::kColumns - 1);

    // Page steps move the text's 10 lines (5 columns), whatever the bar's page.
    vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(text.firstVisibleLine(), 255 - visible - ScreenText::kVerticalPageStep);
    EXPECT_EQ(vertical->value(), text.firstVisibleLine());
    m_view.horizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(text.firstVisibleColumn(), ScreenText::kHorizontalPageStep);
    EXPECT_EQ(m_view.horizontalBar()->value(), ScreenText::kHorizontalPageStep);

    m_view.clear();
    EXPECT_EQ(text.lines().lineCount(), 0);
    EXPECT_EQ(vertical->value(), 0);
}

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
