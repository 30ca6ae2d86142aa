#include "terminal/core/PlaceholderTable.h"

namespace zeb::terminal {
namespace {

std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::span<const std::uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

std::size_t PlaceholderTable::scan(std::span<const std::uint8_t> bytes)
{
    return scan(asText(bytes));
}

std::size_t PlaceholderTable::scan(std::string_view text)
{
    m_count = 0;
    std::size_t position = 0;
    while (m_count < kMaxPlaceholders) {
        const std::size_t open = text.find("%[", position);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find(']', open + 2);
        if (close == std::string_view::npos) {
            break; // no later "%[" can have a closing bracket either
        }
        const std::string_view inside = text.substr(open + 2, close - open - 2);
        const std::size_t equals = inside.find('=');
        const std::string_view label = inside.substr(0, equals);
        const std::string_view defaultValue
            = equals == std::string_view::npos ? std::string_view{} : inside.substr(equals + 1);
        m_spans[m_count] = {open, close + 1};
        m_labels[m_count].assign(bounded(label));
        m_defaults[m_count].assign(bounded(defaultValue));
        ++m_count;
        position = close + 1;
    }
    return m_count;
}

void PlaceholderTable::fillRows(std::vector<PromptRow>& rows) const
{
    rows.resize(m_count);
    for (std::size_t i = 0; i < m_count; ++i) {
        rows[i].label.assign(m_labels[i]);
        rows[i].value.assign(m_defaults[i]);
    }
}

void PlaceholderTable::substitute(std::span<const std::uint8_t> bytes, const std::vector<PromptRow>& values,
                                  std::vector<std::uint8_t>& out) const
{
    out.clear();
    std::size_t copied = 0;
    for (std::size_t i = 0; i < m_count && m_spans[i].end <= bytes.size(); ++i) {
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied),
                   bytes.begin() + static_cast<std::ptrdiff_t>(m_spans[i].begin));
        if (i < values.size()) {
            const auto value = asBytes(bounded(values[i].value));
            out.insert(out.end(), value.begin(), value.end());
        }
        copied = m_spans[i].end;
    }
    if (copied < bytes.size()) {
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied), bytes.end());
    }
}

std::string PlaceholderTable::substitute(std::string_view text, const std::vector<PromptRow>& values) const
{
    std::vector<std::uint8_t> out;
    substitute(asBytes(text), values, out);
    return std::string(asText(out));
}

std::string_view PlaceholderTable::bounded(std::string_view text)
{
    if (text.size() <= kMaxTextLength) {
        return text;
    }
    std::size_t length = kMaxTextLength;
    // Back off over at most three continuation bytes so a multi-byte character is not split.
    for (int step = 0; step < 3 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80; ++step) {
        --length;
    }
    if ((static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        length = kMaxTextLength; // not UTF-8 after all: plain byte cut
    }
    return text.substr(0, length);
}

} // namespace zeb::terminal
