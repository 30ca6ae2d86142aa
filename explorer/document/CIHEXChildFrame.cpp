#include "explorer/document/CIHEXChildFrame.h"

#include "app/language/qt/Resources.h"
#include "explorer/document/CIHEXDocument.h"
#include "explorer/document/CIHEXView.h"

#include <QComboBox>
#include <QToolBar>

namespace zeb::explorer {

CIHEXChildFrame::CIHEXChildFrame(CIHEXDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHEXView(document))
{
    auto* bar = new QToolBar;
    bar->setWindowTitle(language::Resources::text("IHEX/DIALOG_BAR", QStringLiteral("Explorer")));
    m_view->pathBox()->setMinimumWidth(200);
    bar->addWidget(m_view->pathBox());
    bar->addAction(m_view->upAction());
    bar->addSeparator();
    for (auto mode :
         {CIHEXView::Mode::LargeIcons, CIHEXView::Mode::SmallIcons, CIHEXView::Mode::List, CIHEXView::Mode::Details})
        bar->addAction(m_view->modeAction(mode));
    bar->addSeparator();
    bar->addActions({m_view->refreshAction(), m_view->newFolderAction(), m_view->copyFromAction()});
    addBar(bar, kDialogBar);
    setView(m_view);
    document.setTitle("Explore - " + m_view->location().path());
}

} // namespace zeb::explorer
