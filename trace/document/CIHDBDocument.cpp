#include "trace/document/CIHDBDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "trace/document/CIHDBChildFrame.h"
#include "trace/document/CIHDBView.h"

namespace zeb::trace {

CIHDBView* CIHDBDocument::view() const
{
    return frame() ? qobject_cast<CIHDBView*>(frame()->view()) : nullptr;
}

void registerTraceDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHDBDocument::kKey,
        {[] { return std::make_unique<CIHDBDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* trace = qobject_cast<CIHDBDocument*>(&document);
             return trace ? new CIHDBChildFrame(*trace) : nullptr;
         }});
}

} // namespace zeb::trace
