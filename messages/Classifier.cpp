#include "messages/Classifier.h"

#include <string_view>

namespace zeb::messages {

namespace {

using namespace message_type;

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;

// Letters shared by binary frames (the letter byte) and SVar frames ("!" and the letter).
MessageType gnssLetter(std::uint8_t letter)
{
    switch (letter) {
    case 'A':
        return GnssAlmanach;
    case 'E':
        return GnssEphemeris;
    case 'S':
        return GnssHealth;
    case 'U':
        return GnssIonoTropo;
    case 'R':
        return GnssMeasureSatellite;
    case 'Q':
        return GnssMeasureReceiver;
    case 'M':
        return GnssMdt;
    case 'W':
        return Waas;
    default:
        return Other;
    }
}

// The GNSS2 letter bytes 0xE0..0xE4 in the order of their codes.
MessageType gnss2Letter(std::uint8_t letter)
{
    switch (letter) {
    case 0xE0:
        return Gnss2BData;
    case 0xE1:
        return Gnss2EData;
    case 0xE2:
        return Gnss2Messie;
    case 0xE3:
        return Gnss2EDataBc;
    case 0xE4:
        return Gnss2Measure;
    default:
        return Other;
    }
}

MessageType classifyBinary(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2) {
        return Other;
    }
    const std::uint8_t letter = bytes[1];
    if (letter == 'X') {
        return Loader;
    }
    if (letter == 'x') {
        return Rpc;
    }
    const MessageType gnss2 = gnss2Letter(letter);
    return gnss2 != Other ? gnss2 : gnssLetter(letter);
}

// SVar frames write the GNSS2 letters as text: "!0xE3".
MessageType classifySVar(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 1;
    while (i < bytes.size() && (bytes[i] == '\r' || bytes[i] == '\n')) {
        ++i;
    }
    if (i + 1 >= bytes.size() || bytes[i] != '!') {
        return Other;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + i + 1, bytes.size() - i - 1);
    if (text.starts_with("0xE") && text.size() >= 4 && text[3] >= '0' && text[3] <= '4') {
        return gnss2Letter(static_cast<std::uint8_t>(0xE0 + (text[3] - '0')));
    }
    return gnssLetter(static_cast<std::uint8_t>(text[0]));
}

MessageType classifyUhf(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2) {
        return Other;
    }
    switch (bytes[1]) {
    case 'C':
        return UhfCode;
    case 'P':
        return UhfPhase;
    case 'T':
        return UhfLrk;
    case 'X':
        return UhfMessage;
    default:
        return Other;
    }
}

} // namespace

MessageType classify(MessageKind kind, std::span<const std::uint8_t> bytes)
{
    switch (kind) {
    case MessageKind::SBin:
        return classifyBinary(bytes);
    case MessageKind::SVar:
        return classifySVar(bytes);
    case MessageKind::UHF:
        return classifyUhf(bytes);
    case MessageKind::RTCM:
        return Rtcm;
    case MessageKind::Telecommand:
        return Nmea;
    default:
        return Other;
    }
}

MessageKind classifyContent(std::span<const std::uint8_t> bytes, bool hasRtcm)
{
    const std::size_t n = bytes.size();
    if (n >= 3 && bytes[0] == '$' && bytes[n - 2] == '\r' && bytes[n - 1] == '\n') {
        return MessageKind::Telecommand;
    }
    if (n >= 7 && bytes[0] == 0xFE && bytes[n - 1] == 0xFF) {
        return MessageKind::SBin;
    }
    if (n >= 4 && bytes[0] == kStx && bytes[n - 1] == kEtx) {
        if (bytes[1] == '\r' && bytes[2] == '\n') {
            return MessageKind::SVar;
        }
        if (bytes[1] != '\r' && bytes[2] != '\n') {
            return MessageKind::UHF;
        }
    }
    if (hasRtcm) {
        return MessageKind::RTCM;
    }
    return MessageKind::Residue;
}

} // namespace zeb::messages
