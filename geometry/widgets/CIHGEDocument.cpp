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
    framework::DocumentTypeCatalog::setFactoriesOf<CIHGEDocument, CIHGEChildFrame>(CIHGEDocument::kKey);
}

} // namespace zeb::geometry
