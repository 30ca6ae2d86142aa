#include "app/framework/CIHCOMainFrame.h"

namespace zeb::framework {

CIHCOMainFrame::CIHCOMainFrame(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
}

CIHCOMainFrame::~CIHCOMainFrame() = default;

} // namespace zeb::framework
