#pragma once

#include "trace/core/ComponentTable.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::tools::sim {

// A receiver's debug trace: a table of software components with their level switches, the answers to the trace
// commands (VIEW lists the components, ON/OFF and SET change the switches), and trace sentences at a chosen rate for
// the levels switched on. Commands arrive on a receive thread and sentences are taken on the playing thread, so
// both lock.
class TraceModel
{
public:
    using Clock = std::chrono::steady_clock;

    struct Settings
    {
        // Trace sentences a second while tracing is on and some level is switched on (0: none).
        double linesPerSecond = 0;
        // Now and then a sentence of level 0 or 7 and a malformed one among the others.
        bool oddLines = false;
    };

    // At most this many sentences leave in one take, whatever the rate and the pause before it.
    static constexpr std::size_t kBatchMax = 1000;

    explicit TraceModel(Settings settings);

    // The answer to a received line (CR LF and checksum optional): the component lines for VIEW, nothing for the
    // other trace commands; none when the line is no trace command.
    std::optional<std::string> answer(std::string_view line);

    // The sentences due by `now` since the previous take (the first take only starts the clock).
    std::string take(Clock::time_point now);

    bool tracing() const;
    trace::ComponentTable components() const;

private:
    void appendSentence(std::string& out);

    Settings m_settings;
    mutable std::mutex m_mutex;
    trace::ComponentTable m_components;
    bool m_tracing = true;
    std::optional<Clock::time_point> m_last;
    double m_credit = 0;
    std::uint64_t m_sent = 0;
};

} // namespace zeb::tools::sim
