#include "terminal/widgets/CIHTEPromptDialog.h"
#include "testsupport/DialogAnswers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace zeb::terminal {
namespace {

int click(CIHTEPromptDialog& dialog, const char* button)
{
    auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    if (!found) {
        ADD_FAILURE() << "no button " << button;
        return QDialog::Rejected;
    }
    found->click();
    return dialog.result();
}

TEST(PromptDialog, ButtonsGiveTheirResultsAndOnlyAcceptTakesTheEdits)
{
    const std::pair<const char*, PromptResult> cases[]
        = {{"1", PromptResult::Accept}, {"2", PromptResult::Cancel}, {"3", PromptResult::Third}};
    for (const auto& [button, result] : cases) {
        SCOPED_TRACE(button);
        CIHTEPromptDialog dialog;
        std::vector<PromptRow> rows{{"Hour", "12"}, {"Minute", ""}};
        testsupport::DialogAnswers answers;
        answers.next<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
            EXPECT_EQ(shown.edit(0)->text(), QStringLiteral("12"));
            shown.edit(1)->setText(QStringLiteral("30"));
            return click(shown, button);
        });
        EXPECT_EQ(dialog.prompt(rows), result);
        EXPECT_EQ(rows[1].value, result == PromptResult::Accept ? "30" : "");
    }
}

TEST(PromptDialog, ShowsOnlyTheRowsGivenAndShrinksToThem)
{
    CIHTEPromptDialog dialog;
    std::vector<PromptRow> many(20);
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = {"L" + std::to_string(i), "v" + std::to_string(i)};
    testsupport::DialogAnswers answers;
    int fullHeight = 0;
    answers.next<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
        fullHeight = shown.sizeHint().height();
        EXPECT_EQ(shown.shownRows(), 16);
        EXPECT_EQ(shown.label(15)->text(), QStringLiteral("L15"));
        shown.edit(15)->setText(QStringLiteral("new"));
        return click(shown, "1");
    });
    ASSERT_EQ(dialog.prompt(many), PromptResult::Accept);
    EXPECT_EQ(many[15].value, "new");
    EXPECT_EQ(many[16].value, "v16") << "rows beyond those shown keep their values";

    std::vector<PromptRow> three{{"A", "1"}, {"B", "2"}, {"C", "3"}};
    answers.next<CIHTEPromptDialog>([&](CIHTEPromptDialog& shown) {
        EXPECT_EQ(shown.shownRows(), 3);
        for (int row = 0; row < static_cast<int>(PromptHandler::kShownRows); ++row)
            EXPECT_EQ(shown.edit(row)->isVisibleTo(&shown), row < 3) << row;
        EXPECT_LT(shown.sizeHint().height(), fullHeight);
        EXPECT_EQ(shown.edit(0)->maxLength(), 79);
        return click(shown, "2");
    });
    EXPECT_EQ(dialog.prompt(three), PromptResult::Cancel);
}

} // namespace
} // namespace zeb::terminal
