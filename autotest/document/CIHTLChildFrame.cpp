#include "autotest/document/CIHTLChildFrame.h"

#include "app/language/qt/Resources.h"
#include "autotest/document/CIHTLDocument.h"
#include "autotest/document/CIHTLEditor.h"
#include "autotest/document/CIHTLView.h"
#include "autotest/document/OutputPane.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QStyle>
#include <QToolBar>

namespace zeb::autotest {

using language::Resources;

CIHTLChildFrame::CIHTLChildFrame(CIHTLDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_view(new CIHTLView(document))
    , m_output(new OutputPane)
    , m_assembly(new OutputPane)
{
    setView(m_view);
    m_view->setPanes(m_output, m_assembly);
    buildToolBar();
    addPane(m_output, Resources::text("IHTL/OUTPUT", QStringLiteral("Output")), kOutputBar);
    addPane(m_assembly, Resources::text("IHTL/ASSEMBLY", QStringLiteral("Assembly")), kAssemblyBar);
    connect(m_view, &CIHTLView::stateChanged, this, &CIHTLChildFrame::updateCommands);
    updateCommands();
}

QAction* CIHTLChildFrame::command(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

void CIHTLChildFrame::buildToolBar()
{
    auto* bar = new QToolBar;
    bar->setWindowTitle(Resources::text("IHTL/TOOLBAR", QStringLiteral("Automatic test")));
    const QStyle* look = style();
    const struct
    {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* key;
        const char* label;
        void (CIHTLView::*slot)();
    } commands[] = {
        {"open", QStyle::SP_DialogOpenButton, "IHTL/OPEN", "Open", &CIHTLView::open},
        {"save", QStyle::SP_DialogSaveButton, "IHTL/SAVE", "Save", &CIHTLView::save},
        {"run", QStyle::SP_MediaPlay, "IHTL/RUN", "Run", &CIHTLView::run},
        {"stop", QStyle::SP_MediaStop, "IHTL/STOP", "Stop", &CIHTLView::stop},
        {"help", QStyle::SP_DialogHelpButton, "IHTL/HELP", "Help", &CIHTLView::showHelp},
    };
    for (const auto& command : commands) {
        QAction* action = bar->addAction(look->standardIcon(command.icon),
                                         Resources::text(command.key, QString::fromLatin1(command.label)));
        action->setObjectName(QString::fromLatin1(command.name));
        connect(action, &QAction::triggered, m_view, command.slot);
    }
    bar->addSeparator();
    CIHTLEditor* editor = m_view->editor();
    QAction* toggle = bar->addAction(Resources::text("IHTL/MARKER", QStringLiteral("Marker")));
    toggle->setObjectName(QStringLiteral("toggleMarker"));
    toggle->setToolTip(Resources::text("IHTL/MARKER_TIP", QStringLiteral("Mark or unmark the caret's line")));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    connect(toggle, &QAction::triggered, editor, &CIHTLEditor::toggleMarker);
    QAction* next = bar->addAction(Resources::text("IHTL/NEXT_MARKER", QStringLiteral("Next marker")));
    next->setObjectName(QStringLiteral("nextMarker"));
    next->setShortcut(QKeySequence(Qt::Key_F2));
    connect(next, &QAction::triggered, editor, &CIHTLEditor::goToNextMarker);
    addBar(bar, kToolBar);
}

void CIHTLChildFrame::addPane(OutputPane* pane, const QString& title, std::uint32_t id)
{
    auto* dock = new QDockWidget(title);
    dock->setWidget(pane);
    addBar(dock, id, Qt::BottomDockWidgetArea);
}

void CIHTLChildFrame::updateCommands()
{
    const bool stopped = m_view->state() == CIHTLView::State::Stopped;
    command("run")->setEnabled(stopped);
    command("open")->setEnabled(stopped);
    command("stop")->setEnabled(!stopped);
}

void CIHTLChildFrame::initialUpdate()
{
    m_view->initialUpdate();
}

} // namespace zeb::autotest
