#include "TraceModel.h"

#include "text/Scan.h"
#include "trace/core/TraceCommands.h"

#include <array>
#include <vector>

namespace zeb::tools::sim {

namespace {

constexpr std::string_view kTracePrefix = "$PKVR,DEBUG,TRACE,";

struct ComponentSource
{
    const char* name;
    const char* file;
    std::array<bool, trace::kLevelCount> levels;
};

// Errors and warnings on everywhere, as a receiver starts; the rest waits for the engineer.
constexpr std::array<ComponentSource, 5> kComponents{{
    {"GPS", "gps.c", {true, true, false, false, false, false}},
    {"NAV", "nav.c", {true, true, false, false, false, false}},
    {"RF", "rf_front.c", {true, true, false, false, false, false}},
    {"DSP", "dsp_track.c", {true, true, false, false, false, false}},
    {"FS", "fs_doc.c", {true, true, false, false, false, false}},
}};

constexpr std::array<const char*, 6> kComments = {
    "fix lost",
    "sv %u, cn0 %u dBHz, elevation low",
    "epoch %u, residual %u m, rejected",
    "tracking loop %u, lock, ok",
    "queue depth %u, %u free",
    "position valid, hdop 1.%u",
};

std::string_view body(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    return line.substr(0, line.find('*'));
}

const char* fileOf(std::string_view component)
{
    for (const auto& source : kComponents) {
        if (component == source.name)
            return source.file;
    }
    return "main.c";
}

std::string componentLine(const trace::ComponentSwitches& row, bool blanks)
{
    std::string line(kTracePrefix);
    line.append(row.name);
    for (const bool on : row.levels)
        line.append(blanks ? " , " : ",").push_back(on ? '1' : '0');
    line.append("\r\n");
    return line;
}

} // namespace

TraceModel::TraceModel(Settings settings)
    : m_settings(settings)
{
    for (const auto& source : kComponents)
        m_components.set({source.name, source.levels});
}

std::optional<std::string> TraceModel::answer(std::string_view line)
{
    const std::string_view command = body(line);
    if (!command.starts_with(kTracePrefix))
        return std::nullopt;
    const std::string_view rest = command.substr(kTracePrefix.size());
    const std::lock_guard lock(m_mutex);
    if (rest == "VIEW") {
        std::string out;
        // Some receivers pad the commas with blanks: every other line does here.
        bool blanks = false;
        for (const auto& row : m_components.rows()) {
            out.append(componentLine(row, blanks));
            blanks = !blanks;
        }
        return out;
    }
    if (rest == "ON" || rest == "OFF") {
        m_tracing = rest == "ON";
        return std::string();
    }
    std::string name;
    unsigned level = 0;
    unsigned value = 0;
    if (text::scan(command, "$PKVR,DEBUG,TRACE,SET,%[^,],%u,%u", &name, &level, &value) == 3) {
        // Only the receiver's own components switch; a SET for anything else changes nothing.
        const auto row = m_components.find(name);
        if (row && level >= 1 && level <= trace::kLevelCount) {
            trace::ComponentSwitches changed = m_components.rows()[*row];
            changed.levels[level - 1] = value != 0;
            m_components.set(changed);
        }
        return std::string();
    }
    return std::nullopt;
}

std::string TraceModel::take(Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    std::string out;
    if (!m_last || m_settings.linesPerSecond <= 0) {
        m_last = now;
        return out;
    }
    m_credit += std::chrono::duration<double>(now - *m_last).count() * m_settings.linesPerSecond;
    m_last = now;
    for (std::size_t i = 0; m_credit >= 1 && i < kBatchMax; ++i) {
        m_credit -= 1;
        appendSentence(out);
    }
    // What a batch could not take is dropped rather than owed: a pause does not end in a burst.
    if (m_credit > 1)
        m_credit = 0;
    return out;
}

void TraceModel::appendSentence(std::string& out)
{
    if (!m_tracing)
        return;
    // The switched-on (component, level) pairs, taken in turn.
    std::vector<std::pair<std::size_t, std::uint32_t>> on;
    const auto& rows = m_components.rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::uint32_t level = 1; level <= trace::kLevelCount; ++level) {
            if (rows[r].levels[level - 1])
                on.emplace_back(r, level);
        }
    }
    if (on.empty())
        return;
    const std::uint64_t n = m_sent++;
    auto [row, level] = on[n % on.size()];
    if (m_settings.oddLines && n % 97 == 96) {
        out.append("$PKVR,DEBUG,TRACE,OUTPUT,3,").append(rows[row].name).append(",cut short\r\n");
        return;
    }
    if (m_settings.oddLines && n % 53 == 52)
        level = (n / 53) % 2 == 0 ? 7 : 0;
    const std::string& name = rows[row].name;
    char comment[96];
    const auto value = static_cast<unsigned>(n % 1000);
    std::snprintf(comment, sizeof comment, kComments[n % kComments.size()], value % 32 + 1, value);
    char line[256];
    std::snprintf(line, sizeof line, "$PKVR,DEBUG,TRACE,OUTPUT,%u,%s,%s,%u,%s\r\n", level, name.c_str(), fileOf(name),
                  static_cast<unsigned>(100 + n % 900), comment);
    out.append(line);
}

bool TraceModel::tracing() const
{
    const std::lock_guard lock(m_mutex);
    return m_tracing;
}

trace::ComponentTable TraceModel::components() const
{
    const std::lock_guard lock(m_mutex);
    return m_components;
}

} // namespace zeb::tools::sim
