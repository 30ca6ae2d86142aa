#include "geometry/widgets/CIHGEDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "geometry/widgets/CIHGEChildFrame.h"
#include "geometry/widgets/CIHGEView.h"

namespace zeb::geometry {

CIHGEView* CIHGEDocument::view() const
{
    return frame() ? qobject_cast<CIHGEView*>(frame()->view()) : nullptr;
}

void registerGeometryDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHGEDocument::kKey,
        {[] { return std::make_unique<CIHGEDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* geometry = qobject_cast<CIHGEDocument*>(&document);
             return geometry ? new CIHGEChildFrame(*geometry) : nullptr;
         }});
}

} // namespace zeb::geometry
