#include "recorder/settings/RecorderSettings.h"

#include "stream/StreamAddress.h"
#include "text/Format.h"

#include <algorithm>
#include <charconv>

namespace zeb::recorder {

namespace {

constexpr std::string_view kPrefix = "$PKVR,RPC,IHDM,";

// Settings numbers are plain decimal digits that fit 32 bits; a sign, a blank or anything after the
// digits refuses the line (scanf's %u would wrap "-1" and stop quietly at "12abc").
bool readNumber(std::string_view text, std::uint32_t& value)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool isSingleName(std::string_view name)
{
    return !name.empty() && name.size() <= RecorderSettings::kMaxName && !hasLineBreak(name);
}

// The value of a key line "KEY,value", or nothing when the line holds another key.
bool takeKey(std::string_view& body, std::string_view key)
{
    if (body.size() <= key.size() || !body.starts_with(key) || body[key.size()] != ',') {
        return false;
    }
    body.remove_prefix(key.size() + 1);
    return true;
}

// A stored text written on one line: anything from a line break on would start a line of its own.
std::string_view oneLine(std::string_view text)
{
    return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

// "name,address,identifier": the address may hold commas itself (a serial address does), so the
// name ends at the first comma and the identifier begins after the last.
// A file names saved ports only: the document's port, unsaved, takes no part in what a line names, so that lines
// read in any order come to the same settings.
int savedPort(const RecorderSettings& settings, std::string_view name)
{
    const auto found = std::find_if(settings.ports.begin(), settings.ports.end(),
                                    [name](const RecorderPort& port) { return port.saved && port.name == name; });
    return found == settings.ports.end() ? -1 : static_cast<int>(found - settings.ports.begin());
}

bool readPort(RecorderSettings& settings, std::string_view body)
{
    const std::size_t first = body.find(',');
    const std::size_t last = body.rfind(',');
    if (first == std::string_view::npos || last == first || settings.ports.size() >= RecorderSettings::kMaxPorts) {
        return false;
    }
    RecorderPort port{std::string(body.substr(0, first)), std::string(body.substr(first + 1, last - first - 1))};
    if (!RecorderSettings::isValidPortName(port.name) || port.address.empty()
        || port.address.size() > stream::kMaxAddressText || !readNumber(body.substr(last + 1), port.identifier)
        || savedPort(settings, port.name) >= 0) {
        return false;
    }
    // Two ports on one identifier would open the same stream twice.
    const auto sameStream
        = [&port](const RecorderPort& other) { return other.saved && other.identifier == port.identifier; };
    if (std::any_of(settings.ports.begin(), settings.ports.end(), sameStream)) {
        return false;
    }
    settings.ports.push_back(std::move(port));
    return true;
}

// "port name,selection,form,track name,enabled"
// The document's port, first and unsaved, made when there is none yet; its stream is bound later.
int documentPort(RecorderSettings& settings)
{
    if (settings.ports.empty() || settings.ports.front().saved) {
        if (settings.ports.size() >= RecorderSettings::kMaxPorts)
            return -1;
        settings.ports.insert(settings.ports.begin(), RecorderPort{"A", {}, 0, false});
        for (auto& filter : settings.filters)
            ++filter.port;
    }
    return 0;
}

bool readFilter(RecorderSettings& settings, std::string_view body)
{
    std::array<std::string_view, 5> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t comma = i + 1 < fields.size() ? body.find(',') : body.size();
        if (comma == std::string_view::npos) {
            return false;
        }
        fields[i] = body.substr(0, comma);
        body.remove_prefix(std::min(comma + 1, body.size()));
    }
    RecorderFilter filter;
    std::uint32_t enabled = 0;
    const int track = settings.findTrack(fields[3]);
    if (track < 0 || fields[4].find(',') != std::string_view::npos || !readNumber(fields[1], filter.selection)
        || !readNumber(fields[2], filter.form) || !readNumber(fields[4], enabled)
        || filter.selection >= RecorderFilter::kSelections || filter.form >= RecorderFilter::kForms
        || settings.filters.size() >= RecorderSettings::kMaxFilters) {
        return false;
    }
    // Last: the document's port is made only for a filter that is taken.
    const int port = fields[0].empty() ? documentPort(settings) : savedPort(settings, fields[0]);
    if (port < 0) {
        return false;
    }
    filter.port = static_cast<std::size_t>(port);
    filter.track = static_cast<std::size_t>(track);
    filter.enabled = enabled != 0;
    settings.filters.push_back(filter);
    return true;
}

bool readTrack(RecorderSettings& settings, std::string_view name)
{
    if (!RecorderSettings::isValidTrackName(name) || settings.findTrack(name) >= 0
        || settings.tracks.size() >= RecorderSettings::kMaxTracks) {
        return false;
    }
    settings.tracks.emplace_back(name);
    return true;
}

// The older single path: directory and base name split at the last separator of either kind, so the
// base name can never carry a folder of its own.
bool readFileName(RecorderSettings& settings, std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos || separator == 0
        || !RecorderSettings::isValidBaseName(path.substr(separator + 1))) {
        return false;
    }
    settings.directory = std::string(path.substr(0, separator));
    settings.baseName = std::string(path.substr(separator + 1));
    return true;
}

// Removes entry `index` of a list that filters refer to by index (`field`), with the filters on it.
template <typename Entry>
void removeWithFilters(std::vector<Entry>& list, std::vector<RecorderFilter>& filters, std::size_t index,
                       std::size_t RecorderFilter::*field)
{
    if (index >= list.size()) {
        return;
    }
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    std::erase_if(filters, [index, field](const RecorderFilter& filter) { return filter.*field == index; });
    for (auto& filter : filters) {
        filter.*field -= filter.*field > index ? 1 : 0;
    }
}

bool readText(std::string& target, std::string_view value, bool valid)
{
    if (value.empty() || !valid) {
        return false;
    }
    target = std::string(value);
    return true;
}

bool readNumberTo(std::uint32_t& target, std::string_view value, std::uint32_t minimum, std::uint32_t maximum)
{
    std::uint32_t number = 0;
    if (!readNumber(value, number) || number < minimum || number > maximum) {
        return false;
    }
    target = number;
    return true;
}

bool readOutput(RecorderSettings& settings, std::string_view body)
{
    const auto kinds = RecorderSettings::kOutputKinds;
    const auto kind = std::find(kinds.begin(), kinds.end(), body.empty() ? '\0' : body[0]);
    if (kind == kinds.end() || body.size() < 2 || body[1] != ',') {
        return false;
    }
    return readNumberTo(settings.outputs[static_cast<std::size_t>(kind - kinds.begin())], body.substr(2), 0,
                        UINT32_MAX);
}

} // namespace

RecorderSettings RecorderSettings::defaults(std::string_view home)
{
    RecorderSettings settings;
    settings.directory = std::string(home) + "/record";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        settings.tracks.emplace_back(1, letter);
    }
    return settings;
}

void RecorderSettings::clearLists()
{
    ports.clear();
    tracks.clear();
    filters.clear();
}

bool RecorderSettings::isValidBaseName(std::string_view name)
{
    if (name.starts_with("/dev")) {
        // Only a transport may be named so: "/dev..." read as a file path would write anywhere.
        stream::StreamAddress address;
        return !hasLineBreak(name) && name.size() <= stream::kMaxAddressText
            && stream::parseOpenText(name, address) == stream::OpenTarget::Address;
    }
    return isSingleName(name) && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos;
}

bool RecorderSettings::isValidExtension(std::string_view extension)
{
    // All digits would read back as the old naming-convention form of the EXTENSION line.
    return isSingleName(extension) && extension.find_first_of("/\\") == std::string_view::npos
        && !std::all_of(extension.begin(), extension.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool RecorderSettings::isValidPortName(std::string_view name)
{
    return isSingleName(name) && name.find(',') == std::string_view::npos;
}

bool RecorderSettings::isValidTrackName(std::string_view name)
{
    return isValidPortName(name);
}

void RecorderSettings::bindDocumentPort(std::uint32_t streamId)
{
    for (std::size_t i = ports.size(); i-- > 0;) {
        if (ports[i].saved && ports[i].identifier == streamId) {
            removePort(i);
        }
    }
    if (!ports.empty() && !ports.front().saved) {
        ports.front().identifier = streamId;
        return;
    }
    ports.insert(ports.begin(), RecorderPort{"A", {}, streamId, false});
    for (auto& filter : filters) {
        ++filter.port;
    }
    if (tracks.empty()) {
        tracks.emplace_back("A");
    }
    filters.insert(filters.begin(), RecorderFilter{true, 0, 0, 1, 0});
}

void RecorderSettings::removePort(std::size_t index)
{
    removeWithFilters(ports, filters, index, &RecorderFilter::port);
}

void RecorderSettings::removeTrack(std::size_t index)
{
    removeWithFilters(tracks, filters, index, &RecorderFilter::track);
}

int RecorderSettings::findPort(std::string_view name) const
{
    const auto found = std::find_if(ports.begin(), ports.end(), [name](const auto& port) { return port.name == name; });
    return found == ports.end() ? -1 : static_cast<int>(found - ports.begin());
}

int RecorderSettings::findTrack(std::string_view name) const
{
    const auto found = std::find(tracks.begin(), tracks.end(), name);
    return found == tracks.end() ? -1 : static_cast<int>(found - tracks.begin());
}

std::uint64_t RecorderSettings::sizeLimit() const
{
    // At most 2^32 GB, far inside 64 bits; a unit beyond GB is never read in.
    return std::uint64_t{granularity} << (10 * (std::min(granularityUnit, kMaxGranularityUnit) + 1));
}

bool RecorderSettings::outputsToStream() const
{
    return baseName.starts_with("/dev");
}

void RecorderSettings::handleText(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        handleLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

bool RecorderSettings::handleLine(std::string_view line)
{
    if (line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    // A longer line is refused whole: read in pieces, its tail could pass for a line of its own.
    if (line.size() + 2 > kMaxLine) {
        return false;
    }
    // Like a C string, a line ends at a NUL; its value ends at the line break.
    line = oneLine(line);
    if (!line.starts_with(kPrefix)) {
        return false;
    }
    std::string_view body = line.substr(kPrefix.size());
    constexpr std::uint32_t kAny = UINT32_MAX;
    if (takeKey(body, "START")) {
        return readText(startText, body, true);
    }
    if (takeKey(body, "DURATION")) {
        return readText(durationText, body, true);
    }
    if (takeKey(body, "DIRECTORY")) {
        return readText(directory, body, true);
    }
    if (takeKey(body, "BASENAME")) {
        return readText(baseName, body, isValidBaseName(body));
    }
    if (takeKey(body, "FILENAME")) {
        return readFileName(*this, body);
    }
    if (takeKey(body, "EXTENSION")) {
        // The numeric form is the older key of the naming convention.
        return readNumberTo(indexation, body, 0, kAny) || readText(extension, body, isValidExtension(body));
    }
    if (takeKey(body, "INDEXATION") || takeKey(body, "FILENAMECONVENTION")) {
        return readNumberTo(indexation, body, 0, kAny);
    }
    if (takeKey(body, "FORMAT")) {
        return readNumberTo(format, body, 0, kAny);
    }
    if (takeKey(body, "GRANULARITY")) {
        // No zero: every message would begin a file of its own.
        return readNumberTo(granularity, body, 1, kAny);
    }
    if (takeKey(body, "GRANULARITYUNIT")) {
        return readNumberTo(granularityUnit, body, 0, kMaxGranularityUnit);
    }
    if (takeKey(body, "OUTPUT")) {
        return readOutput(*this, body);
    }
    if (takeKey(body, "PORT")) {
        return readPort(*this, body);
    }
    if (takeKey(body, "TRACK")) {
        return readTrack(*this, body);
    }
    if (takeKey(body, "FILTER")) {
        return readFilter(*this, body);
    }
    return false;
}

std::string RecorderSettings::lines() const
{
    std::string text;
    const auto textLine = [&text](const char* key, std::string_view value) {
        text::appendFormat(text, "%s%s,%.*s\r\n", kPrefix.data(), key, static_cast<int>(oneLine(value).size()),
                           value.data());
    };
    const auto numberLine = [&text](const char* key, std::uint32_t value) {
        text::appendFormat(text, "%s%s,%u\r\n", kPrefix.data(), key, value);
    };
    textLine("START", startText);
    textLine("DURATION", durationText);
    textLine("DIRECTORY", directory);
    textLine("BASENAME", baseName);
    textLine("EXTENSION", extension);
    numberLine("INDEXATION", indexation);
    numberLine("FORMAT", format);
    numberLine("GRANULARITY", granularity);
    numberLine("GRANULARITYUNIT", granularityUnit);
    for (std::size_t i = 0; i < kOutputKinds.size(); ++i) {
        text::appendFormat(text, "%sOUTPUT,%c,%u\r\n", kPrefix.data(), kOutputKinds[i], outputs[i]);
    }
    for (const auto& port : ports) {
        if (port.saved) {
            textLine("PORT", port.name + "," + port.address + "," + std::to_string(port.identifier));
        }
    }
    for (const auto& track : tracks) {
        textLine("TRACK", track);
    }
    for (const auto& filter : filters) {
        // The document's port goes unnamed: its name could be that of a saved port once read back.
        if (filter.port < ports.size() && filter.track < tracks.size()) {
            const std::string& port = ports[filter.port].saved ? ports[filter.port].name : std::string();
            text::appendFormat(text, "%sFILTER,%s,%u,%u,%s,%u\r\n", kPrefix.data(), port.c_str(), filter.selection,
                               filter.form, tracks[filter.track].c_str(), filter.enabled ? 1U : 0U);
        }
    }
    return text;
}

} // namespace zeb::recorder
