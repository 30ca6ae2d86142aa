#include "terminal/widgets/CIHTEPromptDialog.h"
#include "terminal/widgets/tests/WidgetsTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace zeb::terminal {
namespace {

using testing::whenModal;

void click(QWidget& dialog, const char* button)
{
    auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

TEST(PromptDialog, ButtonsGiveTheirResultsAndOnlyAcceptTakesTheEdits)
{
    struct Case
    {
        const char* button;
        PromptResult result;
        const char* minute; // the value afterwards
    };
    const Case cases[] = {
        {"1", PromptResult::Accept, "30"},
        {"2", PromptResult::Cancel, ""},
        {"3", PromptResult::Third, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        CIHTEPromptDialog dialog;
        std::vector<PromptRow> rows{{"Hour", "12"}, {"Minute", ""}};
        QString shownHour;
        whenModal<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
            shownHour = shown.edit(0)->text();
            shown.edit(1)->setText(QStringLiteral("30"));
            click(shown, c.button);
        });
        EXPECT_EQ(dialog.prompt(rows), c.result);
        EXPECT_EQ(shownHour, QStringLiteral("12"));
        EXPECT_EQ(rows[0], (PromptRow{"Hour", "12"}));
        EXPECT_EQ(rows[1], (PromptRow{"Minute", c.minute}));
    }
}

TEST(PromptDialog, ShowsOnlyTheRowsGivenAndShrinksToThem)
{
    CIHTEPromptDialog dialog;
    std::vector<PromptRow> many(20);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = {"L" + std::to_string(i), "v" + std::to_string(i)};
    }
    int fullHeight = 0;
    whenModal<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
        fullHeight = shown.height();
        EXPECT_EQ(shown.shownRows(), 16);
        EXPECT_TRUE(shown.edit(15)->isVisible());
        EXPECT_EQ(shown.label(15)->text(), QStringLiteral("L15"));
        shown.edit(15)->setText(QStringLiteral("new"));
        click(shown, "1");
    });
    ASSERT_EQ(dialog.prompt(many), PromptResult::Accept);
    EXPECT_EQ(many[15].value, "new");
    EXPECT_EQ(many[16].value, "v16") << "rows beyond those shown keep their values";

    std::vector<PromptRow> three{{"A", "1"}, {"B", "2"}, {"C", "3"}};
    whenModal<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
        EXPECT_EQ(shown.shownRows(), 3);
        for (int row = 0; row < static_cast<int>(PromptHandler::kShownRows); ++row) {
            EXPECT_EQ(shown.edit(row)->isVisible(), row < 3) << row;
            EXPECT_EQ(shown.label(row)->isVisible(), row < 3) << row;
        }
        EXPECT_LT(shown.height(), fullHeight);
        EXPECT_EQ(shown.edit(0)->maxLength(), 79);
        click(shown, "2");
    });
    EXPECT_EQ(dialog.prompt(three), PromptResult::Cancel);
}

} // namespace
} // namespace zeb::terminal
