#include "geometry/widgets/CIHGEChildFrame.h"

#include "geometry/widgets/CIHGEDocument.h"
#include "geometry/widgets/CIHGEView.h"

namespace zeb::geometry {

CIHGEChildFrame::CIHGEChildFrame(CIHGEDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHGEView(document))
{
    setView(m_view);
}

void CIHGEChildFrame::initialUpdate()
{
    m_view->initialUpdate();
}

} // namespace zeb::geometry
