#include "recorder/document/CIHDMChildFrame.h"

#include "app/language/qt/Resources.h"
#include "recorder/document/CIHDMDocument.h"
#include "recorder/document/CIHDMView.h"
#include "stream/IOSTStream.h"

#include <QToolBar>

namespace zeb::recorder {

CIHDMChildFrame::CIHDMChildFrame(CIHDMDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHDMView(document))
{
    setView(m_view);
    auto* bar = new QToolBar;
    bar->setWindowTitle(language::Resources::text("IHDM/RECORDER_BAR", QStringLiteral("Recorder")));
    bar->addActions({m_view->startAction(), m_view->stopAction(), m_view->suspendAction(), m_view->propertiesAction()});
    addBar(bar, kRecorderBar);
    const stream::IOSTStream* stream = document.stream();
    document.setTitle(stream ? "Recorder " + stream->name() : std::string("Recorder"));
}

} // namespace zeb::recorder
