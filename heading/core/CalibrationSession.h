#pragma once

#include "heading/core/CalibrationHost.h"
#include "heading/core/Thresholds.h"
#include "messages/FieldScanner.h"
#include "messages/SentenceParser.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::heading {

// The calibration panel's dialogue with the receiver. Reads and sets the heading settings
// (HDGSET), starts, polls and stops the receiver's calibration (HDGINI), and in base
// calibration (mode 2) switches the receiver to a calibration fix mode for the run and back to
// its own fix mode afterwards (FIXMOD). Fields show what the replies hold, or placeholders;
// quality values are judged against the thresholds.
//
// States: idle, running; in mode 2 running has the sub-state "fix mode saved" between the
// receiver's FIXMOD answer and Stop. Everything runs on one thread (the window's).
class CalibrationSession
{
public:
    static constexpr std::uint32_t kOffsetMode = 1;
    static constexpr std::uint32_t kBaseMode = 2;
    static constexpr std::size_t kFieldCount = 8;
    // Refusals of Send, by the string resource that says which field is wrong.
    static constexpr unsigned kBaseLengthRefused = 32401;
    static constexpr unsigned kHorizontalOffsetRefused = 32402;
    static constexpr unsigned kVerticalOffsetRefused = 32403;
    static constexpr unsigned kFourthSettingRefused = 32404;
    // The longest fix-mode rest kept: a longer answer is no receiver's own sentence.
    static constexpr std::size_t kMaxFixModeRest = messages::SentenceParser::kMaxLength;

    // `thresholds` is the document's record, read for judging and given the converged flags.
    CalibrationSession(CalibrationHost& host, Thresholds& thresholds, std::uint32_t mode);

    // The panel opened: unknown convergence, placeholders, and a query of the settings.
    void open();
    // A tab change: stops a running calibration, then takes the mode. False (nothing done) for
    // a mode that does not exist.
    bool setMode(std::uint32_t mode);
    void start();
    void stop();
    // The poll timer's tick.
    void poll();
    // A received sentence (a Telecommand message's text).
    void receive(std::string_view text);
    // Checks the four edited settings in order and sends them; 0 when sent, else the refusal of
    // the first field that is not exactly one number within its range.
    unsigned sendSettings(const std::array<std::string, 4>& texts);

    bool running() const { return m_running; }
    std::uint32_t mode() const { return m_mode; }
    bool fixModeSaved() const { return m_fixModeSaved; }
    const std::string& field(CalibrationField field) const { return m_fields[indexOf(field)]; }
    const Thresholds& thresholds() const { return m_thresholds; }

    // Whether a field's row is shown in a mode: mode 2 hides the horizontal offset and the fourth setting.
    static bool rowShown(CalibrationField field, std::uint32_t mode);
    static bool validMode(std::uint32_t mode) { return mode == kOffsetMode || mode == kBaseMode; }
    // The default text of a Send refusal.
    static std::string_view refusalText(unsigned refusal);

private:
    static std::size_t indexOf(CalibrationField field) { return static_cast<std::size_t>(field) - 1041; }
    void setField(CalibrationField field, std::string text);
    bool takeFixMode(std::string_view text);
    void startReceiverCalibration();
    void readReply(std::string_view text);
    void readCalibrationState();
    void readSettings();

    CalibrationHost& m_host;
    Thresholds& m_thresholds;
    std::uint32_t m_mode;
    bool m_running = false;
    bool m_fixModeSaved = false;
    std::uint32_t m_fixMode = 0;
    std::string m_fixModeRest;
    std::string m_scratch;
    std::array<std::string, kFieldCount> m_fields;
    messages::SentenceParser m_parser;
    messages::FieldScanner m_scanner;
};

} // namespace zeb::heading
