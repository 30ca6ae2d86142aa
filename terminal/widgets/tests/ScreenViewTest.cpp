#include "terminal/widgets/CWICOEditor.h"
#include "terminal/widgets/CWICOScreenView.h"
#include "testsupport/QtWaitFor.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace zeb::terminal {
namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class ScreenViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view.resize(480, 320);
        m_view.show();
    }

    // The middle of a cell of the visible grid.
    QPoint cell(int row, int column) const
    {
        const ScreenText& text = m_view.text();
        return {column * text.cellWidth() + text.cellWidth() / 2, row * text.cellHeight() + text.cellHeight() / 2};
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

TEST_F(ScreenViewTest, DraggingCopiesTheSelectionAndDoubleClickCopiesTheLine)
{
    m_view.addText(0x000000, "hello world\r\nsecond\r\n");
    m_view.flush();
    QWidget* pane = m_view.pane();
    QApplication::clipboard()->setText(QStringLiteral("before"));

    sendMouse(pane, QEvent::MouseButtonPress, cell(0, 6), Qt::LeftButton);
    sendMouse(pane, QEvent::MouseMove, cell(1, 3), Qt::LeftButton);
    sendMouse(pane, QEvent::MouseButtonRelease, cell(1, 3), Qt::NoButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("world\r\nsec"));

    // A click without a drag leaves the clipboard alone.
    sendMouse(pane, QEvent::MouseButtonPress, cell(0, 2), Qt::LeftButton);
    sendMouse(pane, QEvent::MouseButtonRelease, cell(0, 2), Qt::NoButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("world\r\nsec"));

    sendMouse(pane, QEvent::MouseButtonDblClick, cell(1, 1), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("second\r\n"));
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
