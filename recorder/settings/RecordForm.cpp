#include "recorder/settings/RecordForm.h"

namespace zeb::recorder {

namespace {

using messages::MessageKind;
namespace type = messages::message_type;

// Almanac, ephemeris, health, ionosphere and satellite measurement: the five the receiver sends both
// as binary and as text frames.
bool isGnssFive(messages::MessageType t)
{
    return t <= type::GnssMeasureSatellite;
}

bool isUhfMeasure(messages::MessageType t)
{
    return t == type::UhfCode || t == type::UhfPhase || t == type::UhfLrk;
}

bool selects(std::uint32_t chosen, MessageKind kind, messages::MessageType t)
{
    const bool binary = kind == MessageKind::SBin;
    const bool uhf = kind == MessageKind::UHF;
    switch (chosen) {
    case selection::Every:
        return true;
    case selection::Binary:
        return binary && isGnssFive(t);
    case selection::BinaryMeasurement:
        return binary && t == type::GnssMeasureSatellite;
    case selection::BinaryAlmanac:
        return binary && t == type::GnssAlmanach;
    case selection::BinaryEphemeris:
        return binary && t == type::GnssEphemeris;
    case selection::BinaryHealth:
        return binary && t == type::GnssHealth;
    case selection::BinaryIonosphere:
        return binary && t == type::GnssIonoTropo;
    case selection::TextAndUhf:
        return (kind == MessageKind::SVar && isGnssFive(t)) || (uhf && isUhfMeasure(t));
    case selection::UhfLrk:
        return uhf && t == type::UhfLrk;
    case selection::UhfPhase:
        return uhf && t == type::UhfPhase;
    case selection::UhfCode:
        return uhf && t == type::UhfCode;
    case selection::Sentences:
        return kind == MessageKind::Telecommand;
    default:
        return false;
    }
}

} // namespace

RecordForm recordForm(const RecorderFilter& filter, MessageKind kind, messages::MessageType t)
{
    if (!filter.enabled || !selects(filter.selection, kind, t)) {
        return RecordForm::None;
    }
    if (filter.selection == selection::Every) {
        return RecordForm::AsReceived;
    }
    const bool text = kind == MessageKind::SVar;
    const bool frame = kind == MessageKind::SBin || kind == MessageKind::UHF;
    switch (filter.form) {
    case output_form::AsReceived:
        return RecordForm::AsReceived;
    case output_form::Binary:
        return text ? RecordForm::Binary : RecordForm::AsReceived;
    case output_form::Text:
        // A text frame has no other text form; a sentence is written as it is.
        if (text) {
            return RecordForm::None;
        }
        return frame ? RecordForm::Text : RecordForm::AsReceived;
    default:
        return RecordForm::None;
    }
}

} // namespace zeb::recorder
