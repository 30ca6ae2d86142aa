#include "app/CUTTEMainFrame.h"

#include <QMdiArea>

namespace zeb::app {

CUTTEMainFrame::CUTTEMainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_documentArea(new QMdiArea(this))
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setCentralWidget(m_documentArea);
    resize(600, 600);
}

} // namespace zeb::app
