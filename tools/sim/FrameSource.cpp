#include "FrameSource.h"

#include "messages/Checksum.h"
#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/EphemerisCodec.h"
#include "messages/codecs/HealthCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/MeasurementCodec.h"
#include "messages/codecs/OutputBuffer.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "messages/codecs/UhfMessageCodec.h"
#include "messages/codecs/WireFormat.h"

#include <cmath>

namespace zeb::tools::sim {

namespace {

constexpr std::uint8_t kEscape = 0xFD;
constexpr unsigned kUhfAddress = 12;
constexpr std::size_t kMeasuredSatellites = 4;

using codecs::Bytes;

std::string_view textOf(Bytes bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void appendBigEndian(std::string& out, std::uint32_t value, std::size_t bytes)
{
    for (std::size_t i = bytes; i-- > 0;)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

Bytes bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::uint32_t sum16(std::string_view bytes)
{
    return messages::byteSum16(bytesOf(bytes).data(), static_cast<std::uint16_t>(bytes.size())) & 0xFFFF;
}

// 0xFE, the letter, L, the body, the ByteSum16 of the L bytes from the letter on, 0xFF.
std::string binaryFrame(char letter, std::string_view body)
{
    std::string frame{static_cast<char>(codecs::kSBinStart), letter};
    appendBigEndian(frame, static_cast<std::uint32_t>(body.size() + 3), 2);
    frame.append(body);
    appendBigEndian(frame, sum16(std::string_view(frame).substr(1)), 2);
    frame.push_back(static_cast<char>(codecs::kSBinEnd));
    return frame;
}

// One of three bytes from 0xFD up, chosen by the round.
unsigned highByte(std::uint64_t round)
{
    return 0xFD + static_cast<unsigned>(round % 3);
}

} // namespace

struct FrameSource::Codecs
{
    codecs::AlmanacCodec almanac;
    codecs::EphemerisCodec ephemeris;
    codecs::HealthCodec health;
    codecs::IonoUtcCodec ionoUtc;
    codecs::MeasurementCodec measurement;
    codecs::UhfCodeCodec uhfCode;
    codecs::UhfMessageCodec uhfMessage;
    codecs::OutputBuffer out;
};

namespace {

// The binary and text forms of a data-word message the codec holds.
void addDataWords(std::vector<std::string>& round, codecs::DataWordCodec& codec, codecs::OutputBuffer& out)
{
    if (codec.renderBinary(out) == codecs::codec_status::Ok)
        round.emplace_back(textOf(out.bytes()));
    if (codec.renderText(out) == codecs::codec_status::Ok)
        round.emplace_back(textOf(out.bytes()));
}

// A measurement of four satellites with a channel byte each; M1 begins with 0xFF 0xFD.
std::string measurementFrame(const messages::GnssTime& time, std::uint64_t round)
{
    std::string body;
    appendBigEndian(body, time.week, 2);
    appendBigEndian(body, static_cast<std::uint32_t>(std::lround(time.seconds * 10)), 3);
    body.push_back(0x08); // channel bytes, no second parts, 30 s interval
    for (std::size_t i = 0; i < kMeasuredSatellites; ++i) {
        body.push_back(static_cast<char>(i + 1));
        body.push_back(static_cast<char>((round + i * 7) % 32 + 1));
        appendBigEndian(body, 0xFFFD0000U + static_cast<std::uint32_t>(round * 16 + i), 4);
        body.push_back(static_cast<char>(0x80 | ((round + i) % 32))); // quality bit, level
        appendBigEndian(body, static_cast<std::uint32_t>(1000 * i + round) & 0xFFFFFF, 3);
        appendBigEndian(body, static_cast<std::uint32_t>(-static_cast<std::int32_t>(i + 1)) & 0xFFFFFF, 3);
        body.push_back(static_cast<char>(i));
        body.push_back(0);
    }
    return binaryFrame('R', body);
}

// A UHF code correction frame of four satellites, time-stamped within the 4915.2 s period.
std::string uhfCodeFrame(const messages::GnssTime& time, std::uint64_t round)
{
    const double period = codecs::UhfCodec::kTimePeriod;
    const double sinceEpoch = time.week * messages::GnssTime::kSecondsPerWeek + time.seconds;
    const auto tenths = static_cast<unsigned>(std::lround(std::fmod(sinceEpoch, period) * 10));
    std::string frame{static_cast<char>(codecs::kStx), 'C', static_cast<char>(codecs::toBcd(kUhfAddress)), 0,
                      static_cast<char>(codecs::toBcd(static_cast<unsigned>(round % 100)))};
    for (const unsigned digits : {tenths / 10000, tenths / 100 % 100, tenths % 100})
        frame.push_back(static_cast<char>(codecs::toBcd(digits)));
    for (std::size_t i = 0; i < 4; ++i) {
        frame.push_back(static_cast<char>((round + i * 5) % 32 + 1));
        appendBigEndian(frame, static_cast<std::uint32_t>(-static_cast<std::int32_t>(round % 50 + i)) & 0xFFFFFF, 3);
    }
    const std::size_t length = frame.size() + 3;
    frame[3] = static_cast<char>(codecs::toBcd(static_cast<unsigned>(length)));
    appendBigEndian(frame, sum16(frame), 2);
    frame.push_back(static_cast<char>(codecs::kEtx));
    return frame;
}

// A UHF message frame whose payload holds frame bytes (STX, ETX, 0xFD-0xFF) among text.
std::string uhfMessageFrame(std::uint64_t round)
{
    std::string payload = "round " + std::to_string(round);
    for (const unsigned byte : {0x02U, 0x03U, 0xFDU, 0xFEU, 0xFFU})
        payload.push_back(static_cast<char>(byte));
    std::string frame{static_cast<char>(codecs::kStx), 'X', static_cast<char>(codecs::toBcd(kUhfAddress))};
    appendBigEndian(frame, static_cast<std::uint32_t>(payload.size() + 6), 2);
    frame.append(payload);
    frame.push_back(static_cast<char>(codecs::kEtx));
    return frame;
}

} // namespace

FrameSource::FrameSource(Escapes escapes, messages::GnssTime start)
    : m_escapes(escapes)
    , m_start(start)
    , m_codecs(std::make_unique<Codecs>())
{
}

FrameSource::~FrameSource() = default;

std::string_view FrameSource::next()
{
    if (++m_index >= m_round.size()) {
        buildRound();
        m_index = 0;
    }
    const std::string& frame = m_round[m_index];
    if (m_escapes == Escapes::Off || kind() != messages::MessageKind::SBin)
        return frame;
    m_wire = escaped(frame);
    return m_wire;
}

messages::MessageKind FrameSource::kind() const
{
    const std::string& frame = m_round[m_index];
    if (static_cast<std::uint8_t>(frame.front()) == codecs::kSBinStart)
        return messages::MessageKind::SBin;
    return frame.size() > 1 && frame[1] != '\r' ? messages::MessageKind::UHF : messages::MessageKind::SVar;
}

std::string FrameSource::escaped(std::string_view binaryFrame)
{
    std::string wire;
    wire.reserve(binaryFrame.size() * 2);
    for (std::size_t i = 0; i < binaryFrame.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(binaryFrame[i]);
        const bool inner = i > 0 && i + 1 < binaryFrame.size();
        if (inner && byte >= kEscape) {
            wire.push_back(static_cast<char>(kEscape));
            wire.push_back(static_cast<char>(byte - kEscape));
            continue;
        }
        wire.push_back(static_cast<char>(byte));
    }
    return wire;
}

void FrameSource::buildRound()
{
    const std::uint64_t round = m_rounds++;
    messages::GnssTime time = m_start;
    time.seconds += static_cast<double>(round % 86400);
    if (time.seconds >= messages::GnssTime::kSecondsPerWeek) {
        time.seconds -= messages::GnssTime::kSecondsPerWeek;
        ++time.week;
    }
    Codecs& c = *m_codecs;
    m_round.clear();
    const int satellite = static_cast<int>(round % 32);

    c.almanac.build(satellite, 2301 + static_cast<unsigned>(round % 3)); // 0x08FD-0x08FF
    c.almanac.setValue(codecs::AlmanacCodec::DataAndSvId, highByte(round));
    c.almanac.setValue(codecs::AlmanacCodec::Eccentricity, 0.001 * static_cast<double>(round % 10));
    c.ephemeris.build(satellite, 0);
    c.ephemeris.setValue(codecs::EphemerisCodec::Iode2, highByte(round));
    c.ephemeris.setValue(codecs::EphemerisCodec::Toe, 16.0 * static_cast<double>(round % 1000));
    c.health.build(-1, 0);
    c.health.setValue(codecs::HealthCodec::Subframe5PageId, highByte(round));
    c.health.setValue(codecs::HealthCodec::FirstHealth + static_cast<std::size_t>(satellite), 0x3F);
    c.ionoUtc.build(-1, 0);
    c.ionoUtc.setValue(codecs::IonoUtcCodec::DataAndPageId, highByte(round));
    c.ionoUtc.setValue(codecs::IonoUtcCodec::DeltaTls, 18);
    for (codecs::DataWordCodec* codec :
         {static_cast<codecs::DataWordCodec*>(&c.almanac), static_cast<codecs::DataWordCodec*>(&c.ephemeris),
          static_cast<codecs::DataWordCodec*>(&c.health), static_cast<codecs::DataWordCodec*>(&c.ionoUtc)}) {
        codec->setTime(time);
        addDataWords(m_round, *codec, c.out);
    }

    // Frames built from their fields are used only once their own codec reads them.
    const std::string measurement = measurementFrame(time, round);
    if (c.measurement.decode(bytesOf(measurement)) == codecs::codec_status::Ok) {
        m_round.push_back(measurement);
        if (c.measurement.renderText(c.out) == codecs::codec_status::Ok)
            m_round.emplace_back(textOf(c.out.bytes()));
    }
    const std::string code = uhfCodeFrame(time, round);
    c.uhfCode.setReferenceTime(time);
    if (c.uhfCode.decode(bytesOf(code)) == codecs::codec_status::Ok)
        m_round.push_back(code);
    const std::string message = uhfMessageFrame(round);
    if (c.uhfMessage.decode(bytesOf(message)) == codecs::codec_status::Ok)
        m_round.push_back(message);
}

} // namespace zeb::tools::sim
