#pragma once

#include "terminal/core/PlaceholderTable.h"
#include "terminal/core/PromptHandler.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::terminal {

// The last step of every send of the terminal (translated telecommands, file blocks, answers): bytes
// without placeholders are written as they are; otherwise the prompt asks for the values and, when the
// user accepts, the bytes with the placeholders filled in are written. The table, the rows and the
// output buffer are kept between sends.
class PlaceholderStep
{
public:
    using Writer = std::function<void(std::span<const std::uint8_t>)>;

    PlaceholderStep(PromptHandler& prompt, Writer writer);

    // Writes to `stream` as the terminal does: no retries, 20 ms retry delay, binary frames escaped.
    // The stream must outlive the writer.
    static Writer streamWriter(stream::IOSTStream& stream);

    // Accept when something was written (always, without placeholders; nothing is written for empty
    // bytes); Cancel or Third when the user declined, and nothing was written.
    PromptResult send(std::span<const std::uint8_t> bytes);
    PromptResult send(std::string_view text);

private:
    PromptHandler& m_prompt;
    Writer m_writer;
    PlaceholderTable m_table;
    std::vector<PromptRow> m_rows;
    std::vector<std::uint8_t> m_output;
};

} // namespace zeb::terminal
