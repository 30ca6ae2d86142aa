#pragma once

#include <string>
#include <vector>

namespace zeb::terminal {

// One row of the prompt: a label and the value the user may edit.
struct PromptRow
{
    std::string label;
    std::string value;

    bool operator==(const PromptRow&) const = default;
};

enum class PromptResult {
    Accept, // the rows hold the values as edited
    Cancel,
    Third, // the dialog's third button (identifier 3)
};

// Asks the user for values: the terminal's dialog in the workbench, questions on the console in the
// command-line terminal. Shared by the placeholder step and the answers of the input filters.
class PromptHandler
{
public:
    using Row = PromptRow;
    // The dialog shows this many rows. A handler that shows fewer rows than it is given leaves the others
    // as they are, so their values (the defaults) are used.
    static constexpr std::size_t kShownRows = 16;
    // Values longer than this are cut when they are used.
    static constexpr std::size_t kMaxValueLength = 79;

    virtual ~PromptHandler() = default;
    // On Accept, the rows' values are the ones to use.
    virtual PromptResult prompt(std::vector<PromptRow>& rows) = 0;
};

} // namespace zeb::terminal
