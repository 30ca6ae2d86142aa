#pragma once

#include "terminal/core/PromptHandler.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// The placeholders of one text to send: "%[label]" or "%[label=default]". The label runs to the first
// ']' or '='; the default from the '=' to the first ']'. A "%[" without a closing bracket after it is no
// placeholder and is sent as it stands; a '%' not followed by '[' is an ordinary character.
//
// Bounds: the first kMaxPlaceholders placeholders count; any after them are sent as they stand. Labels
// and defaults are cut to kMaxTextLength bytes for the prompt (never inside a UTF-8 sequence), and so
// are the values put in. The whole placeholder, however long, is what a value replaces.
class PlaceholderTable
{
public:
    static constexpr std::size_t kMaxPlaceholders = 32;
    static constexpr std::size_t kMaxTextLength = PromptHandler::kMaxValueLength;

    // Where a placeholder stands in the scanned bytes: from its '%' through its ']'.
    struct Span
    {
        std::size_t begin = 0;
        std::size_t end = 0; // one past the ']'
    };

    // Finds the placeholders of `bytes`; returns their number.
    std::size_t scan(std::span<const std::uint8_t> bytes);
    std::size_t scan(std::string_view text);

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    const Span& span(std::size_t index) const { return m_spans[index]; }
    // One row per placeholder: its label and its default. Reuses `rows`' storage.
    void fillRows(std::vector<PromptRow>& rows) const;
    // The scanned bytes with each placeholder replaced by the value of its row (an empty value removes
    // it), into `out` (cleared first). Rows missing from `values` count as empty.
    void substitute(std::span<const std::uint8_t> bytes, const std::vector<PromptRow>& values,
                    std::vector<std::uint8_t>& out) const;
    std::string substitute(std::string_view text, const std::vector<PromptRow>& values) const;

    // `text` cut to at most kMaxTextLength bytes without splitting a UTF-8 sequence.
    static std::string_view bounded(std::string_view text);

private:
    std::vector<Span> m_spans = std::vector<Span>(kMaxPlaceholders);
    std::vector<std::string> m_labels = std::vector<std::string>(kMaxPlaceholders);
    std::vector<std::string> m_defaults = std::vector<std::string>(kMaxPlaceholders);
    std::size_t m_count = 0;
};

} // namespace zeb::terminal
