#include "terminal/session/PromptAnswerChannel.h"

namespace zeb::terminal {

PromptAnswerChannel::PromptAnswerChannel(PromptHandler& prompt, PlaceholderStep& step)
    : m_prompt(prompt)
    , m_step(step)
{
}

FilterAnswerChannel::Choice PromptAnswerChannel::prompt(std::vector<FilterAnswerRow>& rows)
{
    m_rows.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_rows[i].label = rows[i].label;
        m_rows[i].value = rows[i].value;
    }
    switch (m_prompt.prompt(m_rows)) {
    case PromptResult::Cancel:
        return Choice::Cancel;
    case PromptResult::Third:
        return Choice::Disable;
    case PromptResult::Accept:
        break;
    }
    // A handler that dropped rows leaves the values it did not show as they were.
    for (std::size_t i = 0; i < rows.size() && i < m_rows.size(); ++i) {
        rows[i].value = m_rows[i].value;
    }
    return Choice::Accept;
}

void PromptAnswerChannel::send(std::string_view answer)
{
    m_step.send(answer);
}

} // namespace zeb::terminal
