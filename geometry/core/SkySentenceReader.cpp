#include "geometry/core/SkySentenceReader.h"

#include "geometry/core/SkyTable.h"
#include "text/Scan.h"

namespace zeb::geometry {

SkySentence SkySentenceReader::read(std::string_view sentence, SkyTable& table)
{
    SkySentence result = SkySentence::Ignored;
    if (readSatellites(sentence, table, result))
        return result;
    if (readUsed(sentence, table))
        return SkySentence::Used;
    if (readMask(sentence, table))
        return SkySentence::Mask;
    return SkySentence::Ignored;
}

bool SkySentenceReader::readSatellites(std::string_view sentence, SkyTable& table, SkySentence& result)
{
    unsigned total = 0;
    unsigned number = 0;
    unsigned inView = 0;
    m_rest.clear();
    if (text::scan(sentence, "$GPGSV,%u,%u,%u%[^*\r\n]", &total, &number, &inView, &m_rest) < 3)
        return false;
    if (number == 1)
        table.clearVisible();
    for (int i = 0; i < kMaxSatellitesPerSentence && !m_rest.empty(); ++i) {
        unsigned prn = 0;
        double elevation = 0.0;
        double azimuth = 0.0;
        double snr = 0.0;
        // A scan that stores no rest must leave an empty one, or the last satellite would be read again forever.
        m_next.clear();
        const int found = text::scan(m_rest, ",%u,%lf,%lf,%lf%[^*\r\n]", &prn, &elevation, &azimuth, &snr, &m_next);
        if (found < 3 || (found == 3 && !takeEmptySnr()))
            break;
        table.store(prn, elevation, azimuth);
        m_rest.swap(m_next);
    }
    result = number == total ? SkySentence::GroupEnd : SkySentence::Satellites;
    return true;
}

bool SkySentenceReader::takeEmptySnr()
{
    // A satellite in view that is not tracked has an empty SNR field; the satellites after it are
    // still read.
    int consumed = -1;
    text::scan(m_rest, ",%*u,%*lf,%*lf,%n", &consumed);
    if (consumed < 0)
        return false;
    const std::string_view after = std::string_view(m_rest).substr(static_cast<std::size_t>(consumed));
    if (!after.empty() && after.front() != ',' && after.front() != '*' && after.front() != '\r'
        && after.front() != '\n')
        return false;
    m_next.assign(after.substr(0, after.find_first_of("*\r\n")));
    return true;
}

bool SkySentenceReader::readUsed(std::string_view sentence, SkyTable& table)
{
    char mode = 0;
    unsigned fix = 0;
    m_rest.clear();
    if (text::scan(sentence, "$GPGSA,%c,%u%[^*\r\n]", &mode, &fix, &m_rest) < 3)
        return false;
    table.clearUsed();
    for (int i = 0; i < kMaxUsedPerSentence && !m_rest.empty(); ++i) {
        unsigned prn = 0;
        m_next.clear();
        if (text::scan(m_rest, ",%u%[^*\r\n]", &prn, &m_next) < 1)
            break;
        table.markUsed(prn);
        m_rest.swap(m_next);
    }
    return true;
}

bool SkySentenceReader::readMask(std::string_view sentence, SkyTable& table)
{
    double degrees = 0.0;
    m_rest.clear();
    if (text::scan(sentence, "$PKVR,SVDSEL,%lf,%[^*\r\n]", &degrees, &m_rest) < 1)
        return false;
    table.setMaskDegrees(degrees);
    return true;
}

} // namespace zeb::geometry
