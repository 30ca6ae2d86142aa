#include "explorer/document/CIHEXDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "explorer/document/CIHEXChildFrame.h"
#include "explorer/document/CIHEXView.h"

namespace zeb::explorer {

CIHEXView* CIHEXDocument::view() const
{
    return frame() ? qobject_cast<CIHEXView*>(frame()->view()) : nullptr;
}

void registerExplorerDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHEXDocument::kKey,
        {[] { return std::make_unique<CIHEXDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* explorer = qobject_cast<CIHEXDocument*>(&document);
             return explorer ? new CIHEXChildFrame(*explorer) : nullptr;
         }});
}

} // namespace zeb::explorer
