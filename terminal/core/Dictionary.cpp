#include "terminal/core/Dictionary.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

namespace zeb::terminal {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File openFile(const std::string& path, const char* mode)
{
    return File(std::fopen(path.c_str(), mode), &std::fclose);
}

// The line without its LF and without a CR right before that LF.
std::string_view withoutLineEnd(std::string_view line)
{
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// Appends `piece` as value lines of at most Dictionary::kMaxValuePiece bytes each.
void appendValueLines(std::string& out, std::string_view piece)
{
    do {
        const std::string_view part = piece.substr(0, Dictionary::kMaxValuePiece);
        out += '\t';
        out += part;
        out += kLineEnd;
        piece.remove_prefix(part.size());
    } while (!piece.empty());
}

std::string_view writableLabel(std::string_view label)
{
    if (const std::size_t lf = label.find('\n'); lf != std::string_view::npos) {
        label = label.substr(0, lf > 0 && label[lf - 1] == '\r' ? lf - 1 : lf);
    }
    label.remove_prefix(std::min(label.find_first_not_of('\t'), label.size()));
    return label.substr(0, Dictionary::kMaxLabel);
}

void appendEntry(std::string& out, const DictionaryEntry& entry)
{
    out += writableLabel(entry.label);
    out += kLineEnd;
    std::string_view rest = entry.value;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            appendValueLines(out, rest);
            return;
        }
        appendValueLines(out, rest.substr(0, end));
        const bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest.remove_prefix(end + (crLf ? 2 : 1));
    }
}

} // namespace

void Dictionary::add(std::string label, std::string value)
{
    m_entries.push_back({std::move(label), std::move(value)});
}

void Dictionary::readFrom(std::string_view bytes)
{
    m_entries.clear();
    DictionaryEntry current;
    bool started = false;
    auto keepCurrent = [&] {
        if (started && !current.value.empty()) {
            m_entries.push_back(std::move(current));
        }
        current = {};
    };
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos || lf + 1 > kMaxLine) {
            break;
        }
        const std::string_view line = bytes.substr(0, lf + 1);
        bytes.remove_prefix(lf + 1);
        if (line.front() != '\t') {
            keepCurrent();
            current.label.assign(withoutLineEnd(line));
            started = true;
        } else if (started) {
            current.value += withoutLineEnd(line.substr(1));
            current.value += kLineEnd;
        }
    }
    keepCurrent();
}

std::string Dictionary::toText() const
{
    std::string out;
    for (const auto& entry : m_entries) {
        appendEntry(out, entry);
    }
    return out;
}

stream::StreamStatus Dictionary::read(const std::string& path)
{
    m_entries.clear();
    const File file = openFile(path, "rb");
    if (!file) {
        return stream::StreamStatus::OpenFailed;
    }
    std::string bytes;
    char chunk[4096];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, count);
    }
    readFrom(bytes);
    return stream::StreamStatus::Ok;
}

stream::StreamStatus Dictionary::write(const std::string& path) const
{
    const std::string text = toText();
    File file = openFile(path, "wb");
    if (!file) {
        return stream::StreamStatus::OpenFailed;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed ? stream::StreamStatus::Ok : stream::StreamStatus::OpenFailed;
}

} // namespace zeb::terminal
