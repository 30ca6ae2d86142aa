#include "terminal/core/PlaceholderStep.h"

#include "stream/IOSTStream.h"

#include <utility>

namespace zeb::terminal {

PlaceholderStep::PlaceholderStep(PromptHandler& prompt, Writer writer)
    : m_prompt(prompt)
    , m_writer(std::move(writer))
{
}

PlaceholderStep::Writer PlaceholderStep::streamWriter(stream::IOSTStream& stream)
{
    return [&stream](std::span<const std::uint8_t> bytes) {
        stream.write(bytes.data(), bytes.size(), 0, stream::IOSTStream::kDefaultRetryDelayMs, true);
    };
}

PromptResult PlaceholderStep::send(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty()) {
        return PromptResult::Accept;
    }
    if (m_table.scan(bytes) == 0) {
        m_writer(bytes);
        return PromptResult::Accept;
    }
    m_table.fillRows(m_rows);
    const PromptResult result = m_prompt.prompt(m_rows);
    if (result != PromptResult::Accept) {
        return result;
    }
    m_table.substitute(bytes, m_rows, m_output);
    if (!m_output.empty()) {
        m_writer(m_output);
    }
    return PromptResult::Accept;
}

PromptResult PlaceholderStep::send(std::string_view text)
{
    return send(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace zeb::terminal
