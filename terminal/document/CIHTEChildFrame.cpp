#include "terminal/document/CIHTEChildFrame.h"

#include "app/language/qt/Resources.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEView.h"
#include "terminal/widgets/CIHTEButtonBar.h"
#include "terminal/widgets/CIHTEToolBar.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace zeb::terminal {

CIHTEChildFrame::CIHTEChildFrame(CIHTEDocument& terminal, QWidget* parent)
    : CIHCOChildFrame(terminal, parent)
    , m_view(new CIHTEView(terminal))
    , m_toolBar(new CIHTEToolBar)
    , m_buttonBar(new CIHTEButtonBar)
    , m_terminalBarHolder(new QToolBar)
    , m_buttonBarHolder(new QDockWidget)
{
    setView(m_view);

    auto* standard = new QToolBar;
    standard->setWindowTitle(language::Resources::text("IHTE/STANDARD_BAR", QStringLiteral("Standard")));
    standard->addAction(language::Resources::icon("IDI_IHTE_CLEAR"),
                        language::Resources::text("IHTE/CLEAR", QStringLiteral("Clear")), m_view,
                        [this] { m_view->clearScreen(); });
    addBar(standard, kStandardBar);

    m_terminalBarHolder->setWindowTitle(language::Resources::text(CIHTEToolBar::kName, QStringLiteral("Terminal")));
    m_terminalBarHolder->addWidget(m_toolBar);
    addBar(m_terminalBarHolder, kTerminalBar);

    m_buttonBarHolder->setWindowTitle(
        language::Resources::text(CIHTEButtonBar::kName, QStringLiteral("Telecommand buttons")));
    m_buttonBar->setBarSize(terminal.buttonBarSize());
    m_buttonBarHolder->setWidget(m_buttonBar);
    addBar(m_buttonBarHolder, kButtonBar, Qt::BottomDockWidgetArea);

    m_view->setBars(m_toolBar, m_buttonBar);
    addSystemMenuItems();
}

void CIHTEChildFrame::addSystemMenuItems()
{
    QMenu* menu = systemMenu();
    if (!menu)
        return;
    menu->addSeparator();
    QAction* toolBar = m_terminalBarHolder->toggleViewAction();
    toolBar->setText(language::Resources::text("IHTE/SHOW_TOOLBAR", QStringLiteral("Terminal tool bar")));
    menu->addAction(toolBar);
    QAction* buttons = m_buttonBarHolder->toggleViewAction();
    buttons->setText(language::Resources::text("IHTE/SHOW_BUTTON_BAR", QStringLiteral("Button bar")));
    menu->addAction(buttons);
}

void CIHTEChildFrame::initialUpdate()
{
    m_view->initialUpdate();
}

} // namespace zeb::terminal
