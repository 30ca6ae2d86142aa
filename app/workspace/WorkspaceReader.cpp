#include "app/workspace/WorkspaceReader.h"

#include "app/workspace/WorkspaceDocument.h"
#include "app/workspace/WorkspaceHost.h"
#include "text/Scan.h"

namespace zeb::workspace {
namespace {

constexpr std::string_view kConnectPattern = "$PKVR,RPC,UTTE,CONNECT,%[^\r\n]\r\n";
constexpr std::string_view kBeginPattern = "$PKVR,RPC,DOCUMENT,BEGIN,\"%[^\"]\"\r\n";
constexpr std::string_view kEndLine = "$PKVR,RPC,DOCUMENT,END\r\n";
constexpr std::string_view kEndLineFeedOnly = "$PKVR,RPC,DOCUMENT,END\n";

} // namespace

void WorkspaceReader::dispatch(std::string_view line)
{
    if (text::scan(line, kConnectPattern, &m_field) == 1) {
        m_host.connectTo(m_field);
        return;
    }
    if (text::scan(line, kBeginPattern, &m_field) == 1) {
        m_kept.reset();
        if (WorkspaceDocument* document = m_host.createDocument(m_field)) {
            m_current = document;
            return;
        }
        // An unknown key leaves the current document as it is; its own lines are kept.
        m_kept = WorkspaceHost::KeptBlock{m_field, {}};
        m_keptTooLong = false;
        return;
    }
    // Files whose lines end in a bare line feed (edited on this system) read as well as the
    // ones we write; every other pattern already takes either ending.
    if (line == kEndLine || line == kEndLineFeedOnly) {
        if (m_kept) {
            if (!m_keptTooLong && m_host.keptBlocks().size() < kMaxKeptBlocks)
                m_host.keptBlocks().push_back(std::move(*m_kept));
            m_kept.reset();
            return;
        }
        if (m_current)
            m_current->finishLoading();
        m_current = nullptr;
        return;
    }
    if (m_kept) {
        keep(line);
        return;
    }
    if (m_current)
        m_current->handleLine(line);
}

void WorkspaceReader::keep(std::string_view line)
{
    if (m_kept->lines.size() >= kMaxKeptLines) {
        m_keptTooLong = true;
        return;
    }
    m_kept->lines.emplace_back(line);
}

} // namespace zeb::workspace
