#pragma once

#include "terminal/core/PromptHandler.h"

#include <QDialog>

#include <array>
#include <vector>

class QLabel;
class QLineEdit;

namespace zeb::terminal {

// The prompt dialog "IDD_GENERIC_DIALOG": up to 16 rows of a label and an edit box, OK, Cancel and a
// third button (identifier 3). Rows beyond those given are hidden and the dialog shrinks to the rows in
// use. Shared by the placeholders of a send and the answers of the input filters.
//
// Object names: the labels are "1000".."1015", the edit boxes "1016".."1031", the buttons "1" (OK),
// "2" (Cancel) and "3".
class CIHTEPromptDialog : public QDialog, public PromptHandler
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_GENERIC_DIALOG";
    static constexpr int kLabelBase = 1000;
    static constexpr int kEditBase = 1016;
    static constexpr int kThirdResult = 3;
    // The edit boxes take what a value slot holds.
    static constexpr int kMaxLength = static_cast<int>(kMaxValueLength);

    explicit CIHTEPromptDialog(QWidget* parent = nullptr);

    // Shows the first kShownRows rows and runs the dialog; on Accept their values are the edited ones.
    // Rows beyond kShownRows are left as they are.
    PromptResult prompt(std::vector<PromptRow>& rows) override;

    // The rows set up for the last prompt (for callers that run the dialog themselves).
    void setRows(const std::vector<PromptRow>& rows);
    int shownRows() const { return m_shown; }
    QLineEdit* edit(int row) const { return m_edits[static_cast<std::size_t>(row)]; }
    QLabel* label(int row) const { return m_labels[static_cast<std::size_t>(row)]; }

private:
    std::array<QLabel*, kShownRows> m_labels{};
    std::array<QLineEdit*, kShownRows> m_edits{};
    int m_shown = 0;
};

} // namespace zeb::terminal
