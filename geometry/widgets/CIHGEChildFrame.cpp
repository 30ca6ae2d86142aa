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

void CIHGEChildFrame::showEvent(QShowEvent* event)
{
    CIHCOChildFrame::showEvent(event);
    if (m_initialised)
        return;
    // The framework's initial update: the first time the frame is shown.
    m_initialised = true;
    m_view->initialUpdate();
}

} // namespace zeb::geometry
