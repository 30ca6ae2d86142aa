#include "remote-display/widgets/CIHIMDocument.h"

#include "app/framework/CIHCOChildFrame.h"
#include "remote-display/widgets/CIHIMView.h"

namespace zeb::remote_display {

CIHIMView* CIHIMDocument::view() const
{
    return frame() ? qobject_cast<CIHIMView*>(frame()->view()) : nullptr;
}

} // namespace zeb::remote_display
