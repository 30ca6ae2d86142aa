#include "heading/core/HeadingSentenceReader.h"

#include "text/Scan.h"

#include <cmath>

namespace zeb::heading {

namespace {

constexpr std::size_t kHeadingField = 2;
constexpr std::size_t kDeviationField = 6;
constexpr std::size_t kSatellitesField = 7;
constexpr std::size_t kStatusField = 8;

std::optional<double> finiteCell(const messages::FieldValue& cell)
{
    if (cell.isEmpty())
        return std::nullopt;
    const double value = cell.asDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

HeadingReading HeadingSentenceReader::read(std::string_view text)
{
    double value = 0;
    if (text::scan(text, "$GPHDT,%lf,T*s", &value) == 1) {
        // A non-finite number is no heading; the sentence then says nothing.
        if (!std::isfinite(value))
            return {};
        HeadingReading reading;
        reading.kind = HeadingReading::Kind::Heading;
        reading.heading = value;
        return reading;
    }
    return readHrp(text);
}

HeadingReading HeadingSentenceReader::readHrp(std::string_view text)
{
    if (m_parser.parse(text) != messages::sentence_result::Parsed
        || m_parser.family() != messages::sentence_family::Pkvr || m_parser.identifier() != "HRP")
        return {};
    if (m_scanner.scan(m_parser, kHrpFormat) != messages::field_scan_result::Converted)
        return {};
    HeadingReading reading;
    reading.kind = HeadingReading::Kind::NoHeading;
    const messages::FieldValue& status = m_scanner.cell(kStatusField);
    const std::optional<double> heading = finiteCell(m_scanner.cell(kHeadingField));
    if (status.isEmpty() || status.asCharacter() == 'N' || !heading)
        return reading;
    reading.kind = HeadingReading::Kind::Heading;
    reading.heading = *heading;
    reading.deviation = finiteCell(m_scanner.cell(kDeviationField));
    if (const messages::FieldValue& count = m_scanner.cell(kSatellitesField); !count.isEmpty())
        reading.satellites = static_cast<std::uint32_t>(count.asInteger());
    return reading;
}

} // namespace zeb::heading
