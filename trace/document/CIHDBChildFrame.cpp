#include "trace/document/CIHDBChildFrame.h"

#include "app/language/qt/Resources.h"
#include "trace/document/CIHDBDocument.h"
#include "trace/document/CIHDBView.h"

#include <QToolBar>

namespace zeb::trace {

CIHDBChildFrame::CIHDBChildFrame(CIHDBDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHDBView(document))
{
    setView(m_view);
    auto* bar = new QToolBar;
    bar->setWindowTitle(language::Resources::text("IHDB/TRACE_BAR", QStringLiteral("Trace")));
    bar->addActions({m_view->suspendAction(), m_view->propertiesAction(), m_view->clearAction()});
    addBar(bar, kTraceBar);
    document.setTitle("Trace");
    m_view->initialUpdate();
}

} // namespace zeb::trace
