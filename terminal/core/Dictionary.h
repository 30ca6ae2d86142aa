#pragma once

#include "stream/StreamStatus.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

struct DictionaryEntry
{
    std::string label;
    std::string value; // one or more lines, each read from a file ending in CR LF

    bool operator==(const DictionaryEntry&) const = default;
};

// Named telecommands in file order, read from and written to ".ude" files. Labels need not be unique.
//
// File format, line by line (a line runs up to and including its LF, at most kMaxLine bytes):
//  - a line that does not begin with a tab starts an entry; its label is the line without its line end;
//  - a line that begins with a tab appends the rest of the line, line end included, to the current
//    entry's value (value lines before the first label are ignored);
//  - an entry is kept only if it has at least one value line;
//  - a line longer than kMaxLine bytes, or a last line without LF, ends the reading; the entries read
//    before it are kept.
// Files written on Linux may end their lines in LF alone: such a line end counts as CR LF, so values
// always end their lines in CR LF as the receivers expect.
//
// Writing gives, per entry, the label and CR LF, then for each line of the value a tab, the line and
// CR LF. A line of a value ends at CR LF, a lone CR or a lone LF. So that everything written reads
// back, a label is written up to its first LF (or CR LF) and without leading tabs, and is cut to fit one
// line; value lines too long for one file line continue on the next.
class Dictionary
{
public:
    static constexpr std::size_t kMaxLine = 1023;
    static constexpr std::size_t kMaxLabel = kMaxLine - 2; // label CR LF
    static constexpr std::size_t kMaxValuePiece = kMaxLine - 3; // tab piece CR LF

    const std::vector<DictionaryEntry>& entries() const { return m_entries; }
    std::vector<DictionaryEntry>& entries() { return m_entries; }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const DictionaryEntry& operator[](std::size_t index) const { return m_entries[index]; }
    void add(std::string label, std::string value);
    void clear() { m_entries.clear(); }

    // Empties the dictionary, then reads the file: Ok, or OpenFailed (58) when it cannot be opened.
    stream::StreamStatus read(const std::string& path);
    // Ok, or OpenFailed (58) when the file cannot be created or written.
    stream::StreamStatus write(const std::string& path) const;

    // Empties the dictionary, then reads the contents of a file.
    void readFrom(std::string_view bytes);
    // The contents write() puts in a file.
    std::string toText() const;

private:
    std::vector<DictionaryEntry> m_entries;
};

} // namespace zeb::terminal
