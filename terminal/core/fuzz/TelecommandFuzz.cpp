// Translates arbitrary text as a telecommand and passes the bytes through the placeholder step. A successful
// translation never grows the text and copies text without backslashes as it is; the placeholders found
// lie in order inside the bytes, and bytes without placeholders reach the writer unchanged.
#include "terminal/core/PlaceholderStep.h"
#include "terminal/core/PlaceholderTable.h"
#include "terminal/core/TelecommandTranslator.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zeb::terminal;

using zeb::testsupport::check;

// Accepts with each value set to a piece of the label, so the substitution sees values of every length.
class EchoPrompt : public PromptHandler
{
public:
    PromptResult prompt(std::vector<PromptRow>& rows) override
    {
        ++calls;
        check(!rows.empty() && rows.size() <= PlaceholderTable::kMaxPlaceholders);
        for (auto& row : rows) {
            check(row.label.size() <= PlaceholderTable::kMaxTextLength);
            check(row.value.size() <= PlaceholderTable::kMaxTextLength);
            row.value = row.label + row.label;
        }
        return PromptResult::Accept;
    }
    int calls = 0;
};

void checkTable(std::span<const std::uint8_t> bytes)
{
    PlaceholderTable table;
    const std::size_t count = table.scan(bytes);
    check(count <= PlaceholderTable::kMaxPlaceholders);
    std::size_t previousEnd = 0;
    std::size_t covered = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto span = table.span(i);
        check(span.begin >= previousEnd && span.end <= bytes.size() && span.end >= span.begin + 3);
        check(bytes[span.begin] == '%' && bytes[span.begin + 1] == '[' && bytes[span.end - 1] == ']');
        covered += span.end - span.begin;
        previousEnd = span.end;
    }
    // Empty values remove every placeholder and keep everything else.
    std::vector<std::uint8_t> out;
    table.substitute(bytes, {}, out);
    check(out.size() == bytes.size() - covered);
}

void checkStep(std::span<const std::uint8_t> bytes)
{
    EchoPrompt prompt;
    std::vector<std::vector<std::uint8_t>> writes;
    PlaceholderStep step(prompt,
                         [&](std::span<const std::uint8_t> sent) { writes.emplace_back(sent.begin(), sent.end()); });
    check(step.send(bytes) == PromptResult::Accept);
    PlaceholderTable table;
    if (table.scan(bytes) == 0) {
        check(prompt.calls == 0);
        check(bytes.empty() ? writes.empty()
                            : writes.size() == 1 && writes[0] == std::vector(bytes.begin(), bytes.end()));
        return;
    }
    check(prompt.calls == 1 && writes.size() <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TelecommandTranslator translator;
    const auto result = translator.translate(text);
    if (result.ok()) {
        check(result.bytes.size() <= text.size());
        if (text.find('\\') == std::string_view::npos) {
            check(std::string_view(reinterpret_cast<const char*>(result.bytes.data()), result.bytes.size()) == text);
        }
    } else {
        check(result.bytes.empty());
    }
    // The same translator again: its kept buffer must give the same answer.
    const auto again = translator.translate(text);
    check(again.error == result.error && again.bytes.size() == result.bytes.size());

    const std::span<const std::uint8_t> raw(data, size);
    checkTable(raw);
    checkStep(raw);
    if (again.ok()) {
        const std::vector<std::uint8_t> translated(again.bytes.begin(), again.bytes.end());
        checkTable(translated);
        checkStep(translated);
    }
    return 0;
}
