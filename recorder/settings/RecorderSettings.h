// The recorder's settings: when to record, where the record files go, the ports it listens to, the
// tracks it tags messages with and the filters joining them. They are kept as "$PKVR,RPC,IHDM," lines,
// both in a settings file (.udm, see UdmFile) and among the recorder document's workspace lines, so
// the same reader and writer serve both:
//
//   RecorderSettings settings = RecorderSettings::defaults(home);
//   settings.clearLists();                 // a settings file replaces ports, tracks and filters
//   for (line : lines) settings.handleLine(line);
//   std::string text = settings.lines();   // written back in the fixed order, CR LF line ends
//
// Everything read is hostile: each line is checked whole and a line that does not fit its form, holds
// a number out of range or a name that would leave the recording directory is skipped; the lists are
// bounded.
#pragma once

#include "recorder/settings/RecorderFilter.h"
#include "recorder/settings/RecorderPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::recorder {

struct RecorderSettings
{
    static constexpr std::size_t kMaxLine = 1024; // longest line read, line end included
    static constexpr std::size_t kMaxPorts = 64;
    static constexpr std::size_t kMaxTracks = 64;
    static constexpr std::size_t kMaxFilters = 256;
    static constexpr std::size_t kMaxName = 255; // base name, extension, port and track names
    static constexpr std::uint32_t kMaxGranularityUnit = 2; // 0 KB, 1 MB, 2 GB
    // The repeated messages that can be written at the start of each file, in line order.
    static constexpr std::array<char, 4> kOutputKinds = {'A', 'E', 'S', 'U'};

    std::string startText = "Immediately";
    std::string durationText = "Infinite";
    std::string directory{};
    std::string baseName = "data"; // a stream address when it begins with "/dev"
    std::uint32_t indexation = 0; // the record file naming convention
    std::string extension = "dat";
    std::uint32_t granularity = 10;
    std::uint32_t granularityUnit = 0;
    std::uint32_t format = 0; // 1: framed records with start and continue lines
    std::array<std::uint32_t, 4> outputs = {}; // by kOutputKinds: write the held repeated messages
    std::vector<RecorderPort> ports{};
    std::vector<std::string> tracks{};
    std::vector<RecorderFilter> filters{};

    // The defaults: record into home/record, 26 tracks "A" to "Z", no ports and no filters.
    static RecorderSettings defaults(std::string_view home);

    // Empties ports, tracks and filters, as reading a settings file does before its lines.
    void clearLists();
    // Applies one line (its CR LF optional) that is one of the recorder's (true); any other line, and
    // one of the recorder's that is refused or longer than kMaxLine, is left alone (false).
    bool handleLine(std::string_view line);
    // Applies every line of a text.
    void handleText(std::string_view text);
    // The lines in their fixed order, each ending in CR LF; ports not saved are left out.
    std::string lines() const;

    // Bytes a record file may reach before the next one is begun: granularity KB, MB or GB.
    std::uint64_t sizeLimit() const;
    bool outputsToStream() const;

    // Checks for names set from outside (settings lines, the property pages).
    static bool isValidBaseName(std::string_view name);
    static bool isValidExtension(std::string_view extension);
    static bool isValidPortName(std::string_view name);
    static bool isValidTrackName(std::string_view name);

    // Binds the document's stream: it becomes the first port, "A", never saved, with one filter taking
    // every message as received to the first track. A saved port on the same stream identifier goes, so
    // the recorder never opens the document's stream a second time. Binding again replaces the stream.
    void bindDocumentPort(std::uint32_t streamId);
    // Removes a port with its filters.
    void removePort(std::size_t index);
    // Removes a track with its filters.
    void removeTrack(std::size_t index);

    int findPort(std::string_view name) const;
    int findTrack(std::string_view name) const;

    bool operator==(const RecorderSettings&) const = default;
};

} // namespace zeb::recorder
