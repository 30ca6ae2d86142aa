#include "heading/core/CalibrationSession.h"

#include "text/Format.h"
#include "text/Scan.h"

#include <cmath>
#include <optional>

namespace zeb::heading {

namespace {

using Field = CalibrationField;

constexpr std::string_view kQuerySettings = "$PKVR,HDGSET\r\n";
constexpr std::string_view kStartCalibration = "$PKVR,HDGINI,0\r\n";
constexpr std::string_view kPollCalibration = "$PKVR,HDGINI\r\n";
constexpr std::string_view kStopCalibration = "$PKVR,HDGINI,-1\r\n";
constexpr std::string_view kQueryFixMode = "$PKVR,FIXMOD\r\n";
constexpr const char* kFixModeAnswer = "$PKVR,FIXMOD,%u%[^\r\n]\r\n";
constexpr const char* kSetFixMode = "$PKVR,FIXMOD,%u%s\r\n";
// The receiver's calibration fix modes are 80 to 119, one for each of its own 40 modes.
constexpr std::uint32_t kFixModeCount = 40;
constexpr std::uint32_t kCalibrationFixModeBase = 80;

constexpr std::string_view kTwoDecimals = "***.**";
constexpr std::string_view kOneDecimal = "***.*";
constexpr std::string_view kWhole = "**";

// Where each field of a reply is shown, how, and what stands for it when it is absent.
struct Shown
{
    Field field;
    const char* format;
    std::string_view placeholder;
};

constexpr std::array<Shown, 7> kCalibrationCells{{
    {Field::FirstValue, "%.0lf", kWhole},
    {Field::BaseLength, "%.2lf", kTwoDecimals},
    {Field::HorizontalOffset, "%.1lf", kOneDecimal},
    {Field::VerticalOffset, "%.1lf", kOneDecimal},
    {Field::BaseLengthQuality, "%.2lf", kTwoDecimals},
    {Field::HorizontalOffsetQuality, "%.1lf", kOneDecimal},
    {Field::VerticalOffsetQuality, "%.1lf", kOneDecimal},
}};

constexpr std::array<Shown, 4> kSettingCells{{
    {Field::BaseLength, "%.2lf", kTwoDecimals},
    {Field::HorizontalOffset, "%.1lf", kOneDecimal},
    {Field::VerticalOffset, "%.1lf", kOneDecimal},
    {Field::FourthSetting, "%.0lf", kOneDecimal},
}};

// Shows the scanned cells 1, 2, ... in the fields the table names.
template <std::size_t N, typename SetField>
void showCells(const messages::FieldScanner& scanner, const std::array<Shown, N>& cells, SetField&& setField)
{
    for (std::size_t i = 0; i < N; ++i) {
        const messages::FieldValue& cell = scanner.cell(i + 1);
        const bool present = !cell.isEmpty() && std::isfinite(cell.asDouble());
        setField(cells[i].field,
                 present ? text::format(cells[i].format, cell.asDouble()) : std::string(cells[i].placeholder));
    }
}

struct SettingRule
{
    double low;
    double high;
    unsigned refusal;
};

constexpr std::array<SettingRule, 4> kSettingRules{{
    {0, 999, CalibrationSession::kBaseLengthRefused},
    {0, 360, CalibrationSession::kHorizontalOffsetRefused},
    {-90, 90, CalibrationSession::kVerticalOffsetRefused},
    {0, 60, CalibrationSession::kFourthSettingRefused},
}};

// Exactly one number with nothing after it, within the rule's bounds (NaN is never within).
std::optional<double> settingValue(const std::string& text, const SettingRule& rule)
{
    double value = 0;
    char after = 0;
    if (text::scan(text, "%lf%c", &value, &after) != 1 || !(value >= rule.low && value <= rule.high))
        return std::nullopt;
    return value;
}

std::optional<double> finiteValue(const messages::FieldValue& cell)
{
    if (cell.isEmpty() || !std::isfinite(cell.asDouble()))
        return std::nullopt;
    return cell.asDouble();
}

} // namespace

CalibrationSession::CalibrationSession(CalibrationHost& host, Thresholds& thresholds, std::uint32_t mode)
    : m_host(host)
    , m_thresholds(thresholds)
    , m_mode(validMode(mode) ? mode : kOffsetMode)
{
    m_fixModeRest.reserve(kMaxFixModeRest + 1);
    m_scratch.reserve(kMaxFixModeRest + 1);
    // The panel's texts before any reply.
    m_fields[indexOf(Field::BaseLength)] = kTwoDecimals;
    m_fields[indexOf(Field::FourthSetting)] = kWhole;
    for (const Field field : {Field::HorizontalOffset, Field::VerticalOffset, Field::BaseLengthQuality,
                              Field::HorizontalOffsetQuality, Field::VerticalOffsetQuality, Field::FirstValue})
        m_fields[indexOf(field)] = kOneDecimal;
}

bool CalibrationSession::rowShown(CalibrationField field, std::uint32_t mode)
{
    if (mode != kBaseMode)
        return true;
    return field != Field::HorizontalOffset && field != Field::HorizontalOffsetQuality && field != Field::FourthSetting;
}

std::string_view CalibrationSession::refusalText(unsigned refusal)
{
    switch (refusal) {
    case kBaseLengthRefused:
        return "The base length must be a number from 0 to 999.";
    case kHorizontalOffsetRefused:
        return "The horizontal offset must be a number from 0 to 360.";
    case kVerticalOffsetRefused:
        return "The vertical offset must be a number from -90 to 90.";
    case kFourthSettingRefused:
        return "The fourth heading setting must be a number from 0 to 60.";
    default:
        return {};
    }
}

void CalibrationSession::open()
{
    m_thresholds.forgetConvergence();
    m_host.stateChanged();
    m_host.send(kQuerySettings);
}

bool CalibrationSession::setMode(std::uint32_t mode)
{
    if (!validMode(mode))
        return false;
    stop();
    m_mode = mode;
    m_host.stateChanged();
    return true;
}

void CalibrationSession::start()
{
    if (m_running)
        return;
    m_running = true;
    m_fixModeSaved = false;
    m_host.stateChanged();
    if (m_mode == kBaseMode) {
        // The calibration starts once the receiver told its own fix mode.
        m_host.send(kQueryFixMode);
        return;
    }
    m_host.send(kQuerySettings);
    startReceiverCalibration();
}

void CalibrationSession::startReceiverCalibration()
{
    m_host.send(kStartCalibration);
    m_host.setPolling(true);
}

void CalibrationSession::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_host.setPolling(false);
    m_host.stateChanged();
    m_host.send(kStopCalibration);
    if (m_mode == kBaseMode && m_fixModeSaved) {
        m_fixModeSaved = false;
        m_host.send(text::format(kSetFixMode, m_fixMode, m_fixModeRest.c_str()));
    }
}

void CalibrationSession::poll()
{
    if (m_running)
        m_host.send(kPollCalibration);
}

void CalibrationSession::receive(std::string_view text)
{
    if (takeFixMode(text))
        return;
    readReply(text);
}

// A FIXMOD answer is consumed whatever the state; only the first one of a mode-2 run is acted on.
bool CalibrationSession::takeFixMode(std::string_view text)
{
    unsigned number = 0;
    m_scratch.clear();
    if (text::scan(text, kFixModeAnswer, &number, &m_scratch) < 1)
        return false;
    if (m_mode != kBaseMode || !m_running || m_fixModeSaved || m_scratch.size() > kMaxFixModeRest)
        return true;
    // The rest goes back to the receiver without its checksum; the stream adds none, the
    // receiver takes the sentence without.
    m_fixModeRest.assign(m_scratch, 0, m_scratch.find('*'));
    m_fixMode = number;
    m_fixModeSaved = true;
    m_host.send(text::format(kSetFixMode, number % kFixModeCount + kCalibrationFixModeBase, m_fixModeRest.c_str()));
    m_host.send(kQuerySettings);
    startReceiverCalibration();
    return true;
}

void CalibrationSession::readReply(std::string_view text)
{
    if (m_parser.parse(text) != messages::sentence_result::Parsed
        || m_parser.family() != messages::sentence_family::Pkvr || m_parser.fieldCount() < 1)
        return;
    if (m_parser.identifier() == "HDGINI")
        readCalibrationState();
    else if (m_parser.identifier() == "HDGSET")
        readSettings();
}

void CalibrationSession::readCalibrationState()
{
    if (m_scanner.scan(m_parser, "%lf,%lf,%lf,%lf,%lf,%lf,%lf") != messages::field_scan_result::Converted)
        return;
    showCells(m_scanner, kCalibrationCells,
              [this](Field field, std::string text) { setField(field, std::move(text)); });
    const std::array<int, Thresholds::kCount> before = m_thresholds.converged;
    m_thresholds.judge(Thresholds::BaseLength, finiteValue(m_scanner.cell(5)));
    m_thresholds.judge(Thresholds::HorizontalOffset, finiteValue(m_scanner.cell(6)));
    m_thresholds.judge(Thresholds::VerticalOffset, finiteValue(m_scanner.cell(7)));
    if (before != m_thresholds.converged)
        m_host.stateChanged();
}

void CalibrationSession::readSettings()
{
    if (m_scanner.scan(m_parser, "%lf,%lf,%lf,%lf") != messages::field_scan_result::Converted)
        return;
    showCells(m_scanner, kSettingCells, [this](Field field, std::string text) { setField(field, std::move(text)); });
}

void CalibrationSession::setField(CalibrationField field, std::string text)
{
    std::string& shown = m_fields[indexOf(field)];
    if (shown == text)
        return;
    shown = std::move(text);
    m_host.fieldChanged(field, shown);
}

unsigned CalibrationSession::sendSettings(const std::array<std::string, 4>& texts)
{
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::optional<double> value = settingValue(texts[i], kSettingRules[i]);
        if (!value)
            return kSettingRules[i].refusal;
        values[i] = *value;
    }
    m_host.send(text::format("$PKVR,HDGSET,%.3lf,%.1lf,%.1lf,%.1lf\r\n", values[0], values[1], values[2], values[3]));
    return 0;
}

} // namespace zeb::heading
