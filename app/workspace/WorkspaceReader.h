#pragma once

#include "app/workspace/WorkspaceHost.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::workspace {

class WorkspaceDocument;
class WorkspaceHost;

// The line dispatcher of one load: CONNECT lines reach the host wherever they are, a BEGIN
// line makes the host's new document the current one, END lets it finish loading, and every
// other line goes to the current document. The current document lives only as long as the
// load: a document left open by a block that never ended is not handed lines of a later load.
// The block of a key no template knows is kept for the next save, within bounds (a block over
// them is dropped whole: half a block written back would be a different window).
class WorkspaceReader
{
public:
    explicit WorkspaceReader(WorkspaceHost& host)
        : m_host(host)
    {
    }

    // One line after the version line, CR LF included; the bytes need to stay valid only
    // during the call.
    void dispatch(std::string_view line);
    WorkspaceDocument* current() const { return m_current; }

    static constexpr std::size_t kMaxKeptBlocks = 64;
    static constexpr std::size_t kMaxKeptLines = 4096;

private:
    void keep(std::string_view line);

    WorkspaceHost& m_host;
    std::optional<WorkspaceHost::KeptBlock> m_kept;
    bool m_keptTooLong = false;
    WorkspaceDocument* m_current = nullptr;
    std::string m_field;
};

} // namespace zeb::workspace
