#include "HeadingSimulator.h"

#include "messages/Checksum.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <cmath>

namespace zeb::tools::sim {

namespace {

// Where the simulated calibration converges to: the antennas' true base length and offsets.
constexpr std::array<double, 3> kTrueSettings{1.532, 12.5, -1.5};
constexpr double kFirstQuality = 0.5;
constexpr double kQualityFall = 0.5;
constexpr std::size_t kMaxFixModeRest = 64;

std::string sentence(std::string text)
{
    messages::appendNmeaChecksum(text);
    return text;
}

// The line without CR LF and checksum.
std::string_view body(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line.substr(0, line.find('*'));
}

} // namespace

double HeadingSimulator::headingAt(std::uint64_t epoch)
{
    return std::fmod(static_cast<double>(epoch) * kTurnPerSecond, 360.0);
}

double HeadingSimulator::qualityAfter(std::uint32_t polls)
{
    return kFirstQuality * std::pow(kQualityFall, static_cast<double>(polls));
}

std::string HeadingSimulator::due(Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    if (!m_started) {
        m_started = true;
        m_next = now;
    }
    std::string out;
    // A late call catches up with at most one epoch: a stalled player does not flood the link.
    if (now >= m_next) {
        out = epochSentences(m_epoch++);
        m_next = std::max(m_next + std::chrono::seconds(1), now);
    }
    return out;
}

std::string HeadingSimulator::epochSentences(std::uint64_t epoch) const
{
    const double heading = headingAt(epoch);
    const auto seconds = static_cast<unsigned>(epoch % 86400);
    const bool noHeading = epoch % kNoHeadingEvery == kNoHeadingEvery - 1;
    std::string out = sentence(text::format("$GPHDT,%.1f,T", heading));
    out += sentence(text::format("$PKVR,HRP,%02u%02u%02u.00,%.1f,T,%.1f,%.1f,%.2f,%u,%c", seconds / 3600,
                                 seconds / 60 % 60, seconds % 60, heading, 1.5, -0.4, 0.12 + 0.01 * (epoch % 5),
                                 9 + static_cast<unsigned>(epoch % 3), noHeading ? 'N' : 'F'));
    return out;
}

std::string HeadingSimulator::answer(std::string_view line)
{
    const std::string_view command = body(line);
    const std::lock_guard lock(m_mutex);
    if (command == "$PKVR,HDGSET")
        return settingsReply();
    if (command.starts_with("$PKVR,HDGSET,"))
        return setSettings(command.substr(13));
    if (command == "$PKVR,HDGINI,0") {
        m_calibrating = true;
        m_polls = 0;
        return calibrationReply();
    }
    if (command == "$PKVR,HDGINI") {
        if (m_calibrating)
            ++m_polls;
        return calibrationReply();
    }
    if (command == "$PKVR,HDGINI,-1") {
        if (m_calibrating)
            std::copy(kTrueSettings.begin(), kTrueSettings.end(), m_settings.begin());
        m_calibrating = false;
        return sentence("$PKVR,ACK,HDGINI");
    }
    if (command == "$PKVR,FIXMOD")
        return sentence(text::format("$PKVR,FIXMOD,%u%s", m_fixMode, m_fixModeRest.c_str()));
    if (command.starts_with("$PKVR,FIXMOD,")) {
        unsigned number = 0;
        std::string rest;
        if (text::scan(command, "$PKVR,FIXMOD,%u%[^\r\n]", &number, &rest) >= 1 && rest.size() <= kMaxFixModeRest) {
            m_fixMode = number;
            m_fixModeRest = rest;
        }
        return sentence("$PKVR,ACK,FIXMOD");
    }
    return {};
}

std::string HeadingSimulator::setSettings(std::string_view values)
{
    std::array<double, 4> read{};
    if (text::scan(values, "%lf,%lf,%lf,%lf", &read[0], &read[1], &read[2], &read[3]) == 4)
        m_settings = read;
    return settingsReply();
}

std::string HeadingSimulator::settingsReply() const
{
    return sentence(
        text::format("$PKVR,HDGSET,%.3f,%.1f,%.1f,%.0f", m_settings[0], m_settings[1], m_settings[2], m_settings[3]));
}

// The estimates move from the settings toward the true values as the quality values fall.
std::string HeadingSimulator::calibrationReply() const
{
    if (!m_calibrating)
        return sentence(text::format("$PKVR,HDGINI,0,%.3f,%.1f,%.1f,,,", m_settings[0], m_settings[1], m_settings[2]));
    const double quality = qualityAfter(m_polls);
    const double weight = quality / kFirstQuality;
    std::array<double, 3> estimate{};
    for (std::size_t i = 0; i < estimate.size(); ++i)
        estimate[i] = kTrueSettings[i] + (m_settings[i] - kTrueSettings[i]) * weight;
    return sentence(text::format("$PKVR,HDGINI,%u,%.3f,%.1f,%.1f,%.3f,%.2f,%.2f", m_polls, estimate[0], estimate[1],
                                 estimate[2], quality, quality * 2, quality * 1.5));
}

} // namespace zeb::tools::sim
