#include "heading/document/CIHHDDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "heading/document/CIHHDChildFrame.h"
#include "heading/document/CIHHDView.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"

namespace zeb::heading {

CIHHDDocument::CIHHDDocument()
{
    m_state.thresholds = Thresholds::fromSettings(platform::Settings::current());
    common().width = kInitialSize;
    common().height = kInitialSize;
}

CIHHDView* CIHHDDocument::view() const
{
    return frame() ? qobject_cast<CIHHDView*>(frame()->view()) : nullptr;
}

bool CIHHDDocument::handleLine(std::string_view line)
{
    return CIHCOStreamDocument::handleLine(line) || m_state.handleLine(line);
}

void CIHHDDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCOStreamDocument::writeLines(stream);
    stream.write(m_state.lines());
}

void registerHeadingDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHHDDocument::kKey,
        {[] { return std::make_unique<CIHHDDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* heading = qobject_cast<CIHHDDocument*>(&document);
             return heading ? new CIHHDChildFrame(*heading) : nullptr;
         }});
}

} // namespace zeb::heading
