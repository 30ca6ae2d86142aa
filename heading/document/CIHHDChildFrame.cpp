#include "heading/document/CIHHDChildFrame.h"

#include "heading/document/CIHHDDocument.h"
#include "heading/document/CIHHDView.h"

namespace zeb::heading {

CIHHDChildFrame::CIHHDChildFrame(CIHHDDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHHDView(document))
{
    setView(m_view);
    m_view->initialUpdate();
}

} // namespace zeb::heading
