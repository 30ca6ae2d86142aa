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

} // namespace
} // namespace zeb::terminal
