#include "terminal/widgets/CWICOEditor.h"
#include "terminal/widgets/CWICOScreenView.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
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

    QImage paneImage() { return m_view.pane()->grab().toImage(); }

    CWICOScreenView m_view;
};

TEST(ScreenViewColour, ConvertsBlueGreenRedOrder)
{
    EXPECT_EQ(CWICOScreenView::toColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(CWICOScreenView::toColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(CWICOScreenView::toColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(CWICOScreenView::toColor(0xFF123456), QColor(0x56, 0x34, 0x12));
}

TEST_F(ScreenViewTest, PartsFollowTheLayoutOfTheStyleMask)
{
    const ScreenLayout layout = ScreenLayout::compute(m_view.width(), m_view.height(), CWICOScreenView::kAllParts);
    EXPECT_EQ(m_view.pane()->geometry(), QRect(layout.pane.x, layout.pane.y, layout.pane.width, layout.pane.height));
    EXPECT_EQ(m_view.inputLine()->geometry().top(), layout.input.y);
    EXPECT_EQ(m_view.verticalBar()->geometry().left(), layout.verticalBar.x);
    EXPECT_EQ(m_view.horizontalBar()->geometry().top(), layout.horizontalBar.y);

    CWICOScreenView bare(0);
    bare.resize(200, 100);
    bare.show();
    EXPECT_EQ(bare.inputLine(), nullptr);
    EXPECT_EQ(bare.verticalBar(), nullptr);
    EXPECT_EQ(bare.pane()->size(), QSize(200, 100));
}

TEST_F(ScreenViewTest, ScrollBarsFollowTheTextAfterManyLines)
{
    for (int i = 0; i < 300; ++i) {
        m_view.addText(0x000000, "line " + std::to_string(i) + "\r\n");
    }
    // The refresh comes by itself, shortly after.
    QScrollBar* vertical = m_view.verticalBar();
    EXPECT_TRUE(QTest::qWaitFor([&] { return vertical->maximum() == 254; }, 2000));

    const ScreenText& text = m_view.text();
    ASSERT_EQ(text.lines().lineCount(), 255);
    EXPECT_EQ(text.lines().line(0), "line 45");
    const int visible = text.visibleLines();
    ASSERT_GT(visible, 0);
    EXPECT_EQ(vertical->minimum(), 0);
    EXPECT_EQ(vertical->pageStep(), visible);
    EXPECT_EQ(vertical->value(), 255 - visible);
    EXPECT_EQ(m_view.horizontalBar()->maximum(), ScreenText::kColumns - 1);
    EXPECT_EQ(m_view.horizontalBar()->pageStep(), text.visibleColumns());

    // Page steps move the text's 10 lines (5 columns), whatever the bar's page.
    vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(text.firstVisibleLine(), 255 - visible - ScreenText::kVerticalPageStep);
    EXPECT_EQ(vertical->value(), text.firstVisibleLine());
    vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text.firstVisibleLine(), 255 - visible - ScreenText::kVerticalPageStep + 1);
    m_view.horizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(text.firstVisibleColumn(), ScreenText::kHorizontalPageStep);
    EXPECT_EQ(m_view.horizontalBar()->value(), ScreenText::kHorizontalPageStep);

    m_view.clear();
    EXPECT_EQ(text.lines().lineCount(), 0);
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_EQ(vertical->maximum(), 0);
    EXPECT_EQ(m_view.horizontalBar()->value(), 0);
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

TEST_F(ScreenViewTest, BackgroundFollowsTheActiveStateAndSelectionsUseTheLineColour)
{
    m_view.flush();
    const QPoint corner(m_view.pane()->width() - 2, m_view.pane()->height() - 2);
    EXPECT_TRUE(m_view.inactive());
    EXPECT_EQ(paneImage().pixelColor(corner), QColor(0xC0, 0xC0, 0xC0));
    m_view.setInactive(false);
    EXPECT_EQ(paneImage().pixelColor(corner), QColor(255, 255, 255));

    // Blanks in red (0x0000FF is red): selected, their cells are filled with red.
    m_view.addText(0x0000FF, "      x\r\n");
    m_view.flush();
    sendMouse(m_view.pane(), QEvent::MouseButtonPress, cell(0, 0), Qt::LeftButton);
    sendMouse(m_view.pane(), QEvent::MouseMove, cell(0, 5), Qt::LeftButton);
    const QImage image = paneImage();
    EXPECT_EQ(image.pixelColor(cell(0, 2)), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(cell(0, 5)), QColor(255, 255, 255)) << "the end column is not selected";
    EXPECT_EQ(image.pixelColor(cell(1, 2)), QColor(255, 255, 255));
    sendMouse(m_view.pane(), QEvent::MouseButtonRelease, cell(0, 5), Qt::NoButton);
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
    for (const char* line : {"one", "two", "three"}) {
        QTest::keyClicks(input, QString::fromLatin1(line));
        QTest::keyClick(input, Qt::Key_Return);
        EXPECT_TRUE(input->text().isEmpty());
    }
    ASSERT_EQ(sent.count(), 3);
    EXPECT_EQ(sent.at(0).at(0).value<std::string>(), "one\r\n");
    EXPECT_EQ(sent.at(2).at(0).value<std::string>(), "three\r\n");

    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->text(), QStringLiteral("three"));
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->text(), QStringLiteral("two"));
    QTest::keyClick(input, Qt::Key_Down);
    EXPECT_EQ(input->text(), QStringLiteral("three"));
    QTest::keyClick(input, Qt::Key_Down);
    EXPECT_EQ(input->text(), QString());

    m_view.setInactive(true);
    EXPECT_TRUE(input->isReadOnly());
}

TEST_F(ScreenViewTest, AFloodOfLinesKeepsTheStoreBounded)
{
    for (int i = 0; i < 100000; ++i) {
        m_view.addText(0x00FF00, "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n");
        if (i % 1000 == 0) {
            QApplication::processEvents();
        }
    }
    m_view.addText("tail");
    m_view.flush();
    QApplication::processEvents();
    const ScreenText& text = m_view.text();
    EXPECT_EQ(text.lines().lineCount(), ScreenLineStore::kMaxLines);
    EXPECT_EQ(text.lines().line(ScreenLineStore::kMaxLines - 1), "tail");
    EXPECT_EQ(m_view.verticalBar()->value(), ScreenLineStore::kMaxLines - text.visibleLines());
}

} // namespace
} // namespace zeb::terminal
