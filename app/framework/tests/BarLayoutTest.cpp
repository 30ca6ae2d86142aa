#include "app/framework/BarLayout.h"

#include "app/framework/tests/FrameworkFixture.h"

#include <functional>
#include <limits>

namespace zeb::framework::test {
namespace {

using workspace::BarRecord;
using BarLayoutTest = FrameworkTest;

struct Arrangement
{
    const char* name;
    // Rearranges a shown frame as a user would.
    std::function<void(TestFrame&)> arrange;
    // What a frame loaded from the saved block must show.
    std::function<void(TestFrame&)> verify;
};

const Arrangement kArrangements[] = {
    {"dock widget on the right, widened",
     [](TestFrame& f) {
         f.inner()->addDockWidget(Qt::RightDockWidgetArea, f.outputDock());
         f.inner()->resizeDocks({f.outputDock()}, {170}, Qt::Horizontal);
     },
     [](TestFrame& f) {
         EXPECT_EQ(f.inner()->dockWidgetArea(f.outputDock()), Qt::RightDockWidgetArea);
         EXPECT_EQ(f.outputDock()->width(), 170);
     }},
    {"second row and floating dock, frame minimised",
     [](TestFrame& f) {
         f.inner()->insertToolBarBreak(f.secondBar());
         f.outputDock()->setFloating(true);
         f.outputDock()->move(500, 350);
         f.showMinimized();
     },
     [](TestFrame& f) {
         EXPECT_TRUE(f.inner()->toolBarBreak(f.secondBar()));
         EXPECT_TRUE(f.outputDock()->isFloating());
         EXPECT_EQ(f.outputDock()->pos(), QPoint(500, 350));
         EXPECT_TRUE(f.isMinimized());
     }},
};

TEST_F(BarLayoutTest, LayoutsSurviveSaveAndLoadByteForByte)
{
    for (const Arrangement& arrangement : kArrangements) {
        SCOPED_TRACE(arrangement.name);
        CIHCODocument* original = manager().createDocument("TEST");
        ASSERT_NE(original, nullptr);
        ASSERT_TRUE(original->finishLoading());
        arrangement.arrange(*frameOf(original));
        const std::string saved = written(*original);
        ASSERT_NE(saved.find("$PKVR,RPC,BAR,"), std::string::npos);

        TestDocument* loaded = load(saved);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->common().barState.loaded);
        arrangement.verify(*frameOf(loaded));
        EXPECT_EQ(written(*loaded), saved);
        manager().closeAllDocuments();
        flushDeletes();
    }
}

TEST_F(BarLayoutTest, FitsChecksEveryDockedRecord)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_TRUE(document->finishLoading());
    TestFrame& frame = *frameOf(document);
    workspace::BarState state;
    state.records = BarLayout::capture(frame);
    EXPECT_TRUE(BarLayout::fits(frame, state));

    workspace::BarState empty;
    EXPECT_FALSE(BarLayout::fits(frame, empty));
    EXPECT_FALSE(BarLayout::apply(frame, empty));

    workspace::BarState unknownArea = state;
    unknownArea.records[0].id = 59424;
    EXPECT_FALSE(BarLayout::fits(frame, unknownArea));

    workspace::BarState missingContained = state;
    missingContained.records[0].contained.push_back(61000);
    EXPECT_FALSE(BarLayout::fits(frame, missingContained));

    // A floating record for a bar the frame lacks is made on demand elsewhere: not a misfit,
    // and applying skips it.
    workspace::BarState floatingExtra = state;
    BarRecord extra;
    extra.id = 61000;
    extra.floating = 1;
    floatingExtra.records.push_back(extra);
    EXPECT_TRUE(BarLayout::fits(frame, floatingExtra));
    EXPECT_TRUE(BarLayout::apply(frame, floatingExtra));
    EXPECT_EQ(BarLayout::capture(frame), state.records);
}

TEST_F(BarLayoutTest, ExtremeNumbersFromAFileAreHarmless)
{
    CIHCODocument* document = manager().createDocument("TEST");
    ASSERT_TRUE(document->finishLoading());
    TestFrame& frame = *frameOf(document);
    workspace::BarState state;
    state.records = BarLayout::capture(frame);
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (BarRecord& record : state.records) {
        if (record.isDockBar != 0) {
            continue;
        }
        record.floating = record.id == TestFrame::kOutputDock ? 1 : 0;
        record.visible = record.id == TestFrame::kMainBar ? 0 : 1;
        record.x = kMin;
        record.y = kMax;
        record.mruLeft = kMin;
        record.mruRight = kMax;
        record.mruTop = kMax;
        record.mruBottom = kMin;
    }
    EXPECT_TRUE(BarLayout::apply(frame, state));
    EXPECT_TRUE(frame.outputDock()->isFloating());
    EXPECT_TRUE(frame.mainBar()->isHidden());
    EXPECT_FALSE(BarLayout::capture(frame).empty());
}

} // namespace
} // namespace zeb::framework::test
