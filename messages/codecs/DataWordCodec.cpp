#include "messages/codecs/DataWordCodec.h"

#include "messages/Checksum.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"
#include "text/Scan.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kWordsPerLine = 8;

// The next line of `text` (without its CR LF); advances `text` past it.
std::string_view nextLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

DataWordCodec::DataWordCodec(const DataWordLayout& layout)
    : MessageCodec({{messages::MessageKind::SBin, layout.type}, {messages::MessageKind::SVar, layout.type}})
    , m_layout(layout)
{
}

void DataWordCodec::reset()
{
    MessageCodec::reset();
    m_words.fill(0);
    m_values.fill(0.0);
    m_satellite = -1;
    m_week = 0;
    m_checksumOk = false;
}

double DataWordCodec::value(std::size_t field) const
{
    return field < m_layout.fields.size() ? m_values[field] : 0.0;
}

std::int64_t DataWordCodec::wireValue(std::size_t field) const
{
    if (field >= m_layout.fields.size()) {
        return 0;
    }
    const WordField& f = m_layout.fields[field];
    const std::uint32_t raw = toFieldInteger(m_values[field], f.scale, f.bits, f.isSigned);
    return f.isSigned ? signExtend(raw, f.bits) : std::int64_t{raw};
}

void DataWordCodec::setValue(std::size_t field, double value)
{
    if (field < m_layout.fields.size()) {
        m_values[field] = value;
    }
}

void DataWordCodec::build(int satellite, unsigned week)
{
    reset();
    m_satellite = m_layout.prefix == SatellitePrefix::None ? -1 : satellite;
    m_week = m_layout.prefix == SatellitePrefix::SatelliteAndWeek ? (week & 0xFFFFU) : 0;
    setValid(m_layout.prefix == SatellitePrefix::None || satelliteWireNumber(satellite) >= 0);
}

std::size_t DataWordCodec::prefixBytes() const
{
    switch (m_layout.prefix) {
    case SatellitePrefix::None:
        return 0;
    case SatellitePrefix::Satellite:
        return 1;
    case SatellitePrefix::SatelliteAndWeek:
        return 3;
    }
    return 0;
}

void DataWordCodec::unpack()
{
    const Bytes words(m_words.data(), m_layout.words * 3);
    for (std::size_t i = 0; i < m_layout.fields.size() && i < kMaxFields; ++i) {
        const WordField& f = m_layout.fields[i];
        const std::uint32_t raw = readBits(words, f.offset, f.bits);
        const double integer = f.isSigned ? static_cast<double>(signExtend(raw, f.bits)) : static_cast<double>(raw);
        m_values[i] = integer * f.scale;
    }
}

std::array<std::uint8_t, DataWordCodec::kMaxWords * 3> DataWordCodec::packed() const
{
    auto words = m_words;
    const std::span<std::uint8_t> stream(words.data(), m_layout.words * 3);
    for (std::size_t i = 0; i < m_layout.fields.size() && i < kMaxFields; ++i) {
        const WordField& f = m_layout.fields[i];
        writeBits(stream, f.offset, f.bits, toFieldInteger(m_values[i], f.scale, f.bits, f.isSigned));
    }
    return words;
}

int DataWordCodec::setSatellite(unsigned wireNumber)
{
    m_satellite = satelliteIndex(wireNumber);
    return m_satellite < 0 ? codec_status::BadSatellite : codec_status::Ok;
}

int DataWordCodec::decodeBinary(std::span<const std::uint8_t> frame)
{
    SBinFrame sbin;
    const int status = readSBin(frame, sbin);
    if (status != codec_status::Ok) {
        return status;
    }
    const std::size_t prefix = prefixBytes();
    if (sbin.letter != static_cast<std::uint8_t>(m_layout.letter) || sbin.body.size() != prefix + m_layout.words * 3) {
        return codec_status::NotThisCodec;
    }
    m_checksumOk = sbin.checksumOk;
    if (m_layout.prefix != SatellitePrefix::None && setSatellite(sbin.body[0]) != codec_status::Ok) {
        return codec_status::BadSatellite;
    }
    if (m_layout.prefix == SatellitePrefix::SatelliteAndWeek) {
        m_week = readBigEndian(sbin.body.data() + 1, 2);
    }
    std::copy(sbin.body.begin() + static_cast<std::ptrdiff_t>(prefix), sbin.body.end(), m_words.begin());
    unpack();
    return codec_status::Ok;
}

int DataWordCodec::decodeText(std::span<const std::uint8_t> frame)
{
    SVarText text;
    messages::GnssTime time;
    if (!readSVar(frame, text) || readTextHeader(text.all, m_layout.letter, time) != codec_status::Ok) {
        return codec_status::NotThisCodec;
    }
    setTime(time);
    std::string_view body = text.body;
    if (m_layout.prefix == SatellitePrefix::Satellite) {
        unsigned satellite = 0;
        if (text::scan(nextLine(body), "%u", &satellite) != 1) {
            return codec_status::NotThisCodec;
        }
        if (setSatellite(satellite) != codec_status::Ok) {
            return codec_status::BadSatellite;
        }
    } else if (m_layout.prefix == SatellitePrefix::SatelliteAndWeek) {
        unsigned satellite = 0;
        unsigned week = 0;
        if (text::scan(nextLine(body), "%u,%u", &satellite, &week) != 2 || week > 0xFFFF) {
            return codec_status::NotThisCodec;
        }
        if (setSatellite(satellite) != codec_status::Ok) {
            return codec_status::BadSatellite;
        }
        m_week = week;
    }
    for (std::size_t line = 0; line < m_layout.words / kWordsPerLine; ++line) {
        std::array<unsigned, kWordsPerLine> w{};
        if (text::scan(nextLine(body), "%x,%x,%x,%x,%x,%x,%x,%x", &w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6],
                       &w[7])
            != 8) {
            return codec_status::NotThisCodec;
        }
        for (std::size_t i = 0; i < kWordsPerLine; ++i) {
            if (w[i] > 0xFFFFFF) {
                return codec_status::NotThisCodec;
            }
            const std::size_t at = (line * kWordsPerLine + i) * 3;
            m_words[at] = static_cast<std::uint8_t>(w[i] >> 16);
            m_words[at + 1] = static_cast<std::uint8_t>(w[i] >> 8);
            m_words[at + 2] = static_cast<std::uint8_t>(w[i]);
        }
    }
    unpack();
    return codec_status::Ok;
}

int DataWordCodec::renderText(OutputBuffer& out) const
{
    out.clear();
    if (!valid()) {
        return codec_status::NotRendered;
    }
    out.append(kStx);
    out.appendFormat("\r\n!%c,%u,%1.1lf\r\n", m_layout.letter, unsigned{time().week}, time().seconds);
    if (m_layout.prefix == SatellitePrefix::Satellite) {
        out.appendFormat("%u\r\n", static_cast<unsigned>(satelliteWireNumber(m_satellite)));
    } else if (m_layout.prefix == SatellitePrefix::SatelliteAndWeek) {
        out.appendFormat("%u,%u\r\n", static_cast<unsigned>(satelliteWireNumber(m_satellite)), m_week);
    }
    const auto words = packed();
    for (std::size_t word = 0; word < m_layout.words; ++word) {
        const std::uint8_t* at = words.data() + word * 3;
        out.appendFormat("%02X%02X%02X", at[0], at[1], at[2]);
        out.append((word + 1) % kWordsPerLine == 0 ? std::string_view("\r\n") : std::string_view(","));
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

int DataWordCodec::renderBinary(OutputBuffer& out) const
{
    out.clear();
    if (!valid()) {
        return codec_status::NotRendered;
    }
    const std::size_t length = 3 + prefixBytes() + m_layout.words * 3;
    out.append(kSBinStart);
    out.append(static_cast<std::uint8_t>(m_layout.letter));
    out.appendBigEndian(static_cast<std::uint32_t>(length), 2);
    if (m_layout.prefix != SatellitePrefix::None) {
        out.append(static_cast<std::uint8_t>(satelliteWireNumber(m_satellite)));
    }
    if (m_layout.prefix == SatellitePrefix::SatelliteAndWeek) {
        out.appendBigEndian(m_week, 2);
    }
    const auto words = packed();
    out.append(std::string_view(reinterpret_cast<const char*>(words.data()), m_layout.words * 3));
    const std::uint32_t sum = messages::byteSum16(out.bytes().data() + 1, static_cast<std::uint16_t>(length));
    out.appendBigEndian(sum & 0xFFFFU, 2);
    out.append(kSBinEnd);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

} // namespace zeb::codecs
