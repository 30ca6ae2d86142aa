#include "remote-display/widgets/CIHAQDocument.h"

#include "app/framework/CIHCOChildFrame.h"
#include "remote-display/widgets/CIHAQView.h"

namespace zeb::remote_display {

CIHAQView* CIHAQDocument::view() const
{
    return frame() ? qobject_cast<CIHAQView*>(frame()->view()) : nullptr;
}

} // namespace zeb::remote_display
