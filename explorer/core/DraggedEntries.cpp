#include "explorer/core/DraggedEntries.h"

#include "stream/rpc/EntryName.h"

namespace zeb::explorer {

namespace {

bool breaksLine(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// An absolute path below the top folder whose every part is one plain name.
bool namesAnEntry(std::string_view path)
{
    if (path.size() < 2 || path.front() != '/')
        return false;
    std::size_t begin = 1;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        if (!stream::rpc::EntryName::isPlain(path.substr(begin, end - begin)))
            return false;
        begin = end + 1;
    }
    return true;
}

} // namespace

std::string DraggedEntries::write(const std::vector<RemoteLocation>& entries)
{
    std::string text;
    for (const RemoteLocation& entry : entries) {
        if (breaksLine(entry.text()))
            continue;
        text += entry.text();
        text += '\n';
    }
    return text;
}

std::vector<RemoteLocation> DraggedEntries::read(std::string_view text)
{
    std::vector<RemoteLocation> entries;
    std::size_t begin = 0;
    while (begin < text.size() && entries.size() < kMaxEntries) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        std::string_view line = text.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // A line break inside an entry would not write back as the same entry.
        if (line.size() > kMaxLine || breaksLine(line))
            continue;
        const auto entry = RemoteLocation::parse(line);
        // A remote path names its stream; one without an address would be taken for a local path.
        if (!entry || entry->address().empty() || !namesAnEntry(line.substr(line.find("//") + 2)))
            continue;
        entries.push_back(*entry);
    }
    return entries;
}

std::string DraggedEntries::nameOf(const RemoteLocation& entry)
{
    return entry.path().substr(entry.path().rfind('/') + 1);
}

DraggedEntries::Fit DraggedEntries::fit(const RemoteLocation& entry, const RemoteLocation& folder)
{
    if (entry.address() != folder.address())
        return Fit::Copy;
    if (entry.up().path() == folder.path())
        return Fit::SameFolder;
    const std::string& inside = folder.path();
    if (inside == entry.path() || inside.starts_with(entry.path() + "/"))
        return Fit::IntoItself;
    return Fit::Copy;
}

} // namespace zeb::explorer
