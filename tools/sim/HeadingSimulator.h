#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace zeb::tools::sim {

// A two-antenna heading receiver: once a second a "$GPHDT" and a "$PKVR,HRP" sentence with a
// slowly turning heading (every tenth second HRP says status N, no heading), and answers to the
// heading commands: HDGSET (query or set the four heading settings), HDGINI (start, poll, stop
// the calibration: the estimates converge and the quality values fall below 0.01 within a
// dozen polls) and FIXMOD (query or set the fix mode). Sentences are made on the playing thread
// and commands answered on a receive thread, so both lock.
class HeadingSimulator
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kTurnPerSecond = 2.0;
    static constexpr std::uint32_t kNoHeadingEvery = 10;

    // The sentences due at `now` (empty when none): the first call gives the first epoch.
    std::string due(Clock::time_point now);
    // The answer to a received line (CR LF and checksum optional); empty for lines that are no
    // heading command.
    std::string answer(std::string_view line);

    // The heading of epoch `epoch`, degrees.
    static double headingAt(std::uint64_t epoch);
    // The quality value of the base length after `polls` polls of a running calibration.
    static double qualityAfter(std::uint32_t polls);

private:
    std::string epochSentences(std::uint64_t epoch) const;
    std::string settingsReply() const;
    std::string calibrationReply() const;
    std::string setSettings(std::string_view values);

    std::mutex m_mutex;
    bool m_started = false;
    Clock::time_point m_next;
    std::uint64_t m_epoch = 0;
    std::array<double, 4> m_settings{1.0, 0.0, 0.0, 30.0};
    bool m_calibrating = false;
    std::uint32_t m_polls = 0;
    unsigned m_fixMode = 5;
    std::string m_fixModeRest = ",1,0.5";
};

} // namespace zeb::tools::sim
