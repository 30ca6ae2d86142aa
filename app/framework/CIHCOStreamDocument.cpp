#include "app/framework/CIHCOStreamDocument.h"

#include "app/framework/CIHCOTemplate.h"
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"

namespace zeb::framework {

bool CIHCOStreamDocument::handleLine(std::string_view line)
{
    if (CIHCODocument::handleLine(line)) {
        return true;
    }
    const CIHCOTemplate* owner = documentTemplate();
    if (owner == nullptr) {
        return false;
    }
    const std::optional<std::uint32_t> id = workspace::readStreamLine(line, owner->key());
    if (!id) {
        return false;
    }
    m_streamId = *id;
    return true;
}

void CIHCOStreamDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCODocument::writeLines(stream);
    // Also written for a document that never got its frame, so its block keeps its stream.
    if (const CIHCOTemplate* owner = documentTemplate()) {
        stream.write(workspace::streamLine(owner->key(), m_streamId));
    }
}

bool CIHCOStreamDocument::onNewDocument()
{
    if (!CIHCODocument::onNewDocument()) {
        return false;
    }
    m_stream = nullptr;
    if (m_streamId < static_cast<std::uint32_t>(stream::StreamRegistry::kSlotCount)) {
        m_stream = stream::StreamRegistry::instance().byIdentifier(static_cast<int>(m_streamId));
    }
    return true;
}

} // namespace zeb::framework
