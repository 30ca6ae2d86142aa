#pragma once

#include <string>
#include <string_view>

namespace zeb::geometry {

class SkyTable;

// What a sentence did to the sky table.
enum class SkySentence {
    Ignored, // none of the three sentences, or one that does not parse
    Satellites, // a GSV sentence that is not the last of its group
    GroupEnd, // the last GSV sentence of a group: time to draw
    Used, // a GSA sentence
    Mask, // an SVDSEL answer
};

// Reads the receiver's "$GPGSV", "$GPGSA" and "$PKVR,SVDSEL" sentences into a SkyTable. The
// scratch texts are kept between calls, so once warmed up reading allocates nothing.
class SkySentenceReader
{
public:
    // No sentence carries more than this many satellites or used PRNs: a longer one is cut there.
    static constexpr int kMaxSatellitesPerSentence = 64;
    static constexpr int kMaxUsedPerSentence = 12;

    SkySentence read(std::string_view sentence, SkyTable& table);

private:
    bool readSatellites(std::string_view sentence, SkyTable& table, SkySentence& result);
    // After a satellite read without its SNR: whether the SNR field is there and empty, the rest
    // after it then in m_next.
    bool takeEmptySnr();
    bool readUsed(std::string_view sentence, SkyTable& table);
    bool readMask(std::string_view sentence, SkyTable& table);

    std::string m_rest;
    std::string m_next;
};

} // namespace zeb::geometry
