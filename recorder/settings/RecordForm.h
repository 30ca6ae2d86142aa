// Whether a filter records one framed message, and in which form:
//
//   switch (recordForm(filter, event.kind, event.type)) { case RecordForm::AsReceived: ... }
//
// Only complete messages are to be passed; which port a message came from is the caller's check.
#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "recorder/settings/RecorderFilter.h"

namespace zeb::recorder {

enum class RecordForm {
    None, // not recorded by this filter
    AsReceived,
    Binary, // a text frame converted into the binary frame of the same message
    Text, // a binary or UHF frame converted into its text frame
};

// Message selections (RecorderFilter::selection) and output forms (RecorderFilter::form).
namespace selection {
constexpr std::uint32_t Every = 0;
constexpr std::uint32_t Binary = 1; // binary almanac, ephemeris, measurement, health, ionosphere
constexpr std::uint32_t BinaryMeasurement = 2;
constexpr std::uint32_t BinaryAlmanac = 3;
constexpr std::uint32_t BinaryEphemeris = 4;
constexpr std::uint32_t BinaryHealth = 5;
constexpr std::uint32_t BinaryIonosphere = 6;
constexpr std::uint32_t TextAndUhf = 7; // the five as text frames, and UHF code, phase and LRK frames
constexpr std::uint32_t UhfLrk = 8;
constexpr std::uint32_t UhfPhase = 9;
constexpr std::uint32_t UhfCode = 10;
constexpr std::uint32_t Nothing = 11;
constexpr std::uint32_t Sentences = 12;
} // namespace selection

namespace output_form {
constexpr std::uint32_t Off = 0;
constexpr std::uint32_t AsReceived = 1;
constexpr std::uint32_t Binary = 2;
constexpr std::uint32_t Text = 3;
} // namespace output_form

RecordForm recordForm(const RecorderFilter& filter, messages::MessageKind kind, messages::MessageType type);

} // namespace zeb::recorder
