#pragma once

#include "terminal/core/PlaceholderStep.h"
#include "terminal/core/PromptHandler.h"
#include "terminal/filters/FilterAnswerChannel.h"

#include <vector>

namespace zeb::terminal {

// Lets the input filters answer through the terminal's prompt and placeholder step: the prompt's third
// result disables the filter, and the answer goes through the placeholder step to the stream.
class PromptAnswerChannel : public FilterAnswerChannel
{
public:
    PromptAnswerChannel(PromptHandler& prompt, PlaceholderStep& step);

    Choice prompt(std::vector<FilterAnswerRow>& rows) override;
    void send(std::string_view answer) override;

private:
    PromptHandler& m_prompt;
    PlaceholderStep& m_step;
    std::vector<PromptRow> m_rows;
};

} // namespace zeb::terminal
