#include "app/CUTTEMainFrame.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <gtest/gtest.h>

namespace zeb::app {
namespace {

TEST(CUTTEMainFrame, ShowsTitledMultipleDocumentArea)
{
    CUTTEMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("ZEB500"));
    ASSERT_NE(frame.documentArea(), nullptr);
    EXPECT_EQ(frame.centralWidget(), frame.documentArea());
    QWidget* child = new QWidget;
    frame.documentArea()->addSubWindow(child)->show();
    EXPECT_EQ(frame.documentArea()->subWindowList().size(), 1);
}

} // namespace
} // namespace zeb::app

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
