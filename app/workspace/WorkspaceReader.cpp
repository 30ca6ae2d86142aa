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
        // An unknown key leaves everything as it is, the current document included.
        if (WorkspaceDocument* document = m_host.createDocument(m_field))
            m_current = document;
        return;
    }
    // Files whose lines end in a bare line feed (edited on this system) read as well as the
    // ones we write; every other pattern already takes either ending.
    if (line == kEndLine || line == kEndLineFeedOnly) {
        if (m_current)
            m_current->finishLoading();
        m_current = nullptr;
        return;
    }
    if (m_current)
        m_current->handleLine(line);
}

} // namespace zeb::workspace
