#include "app/framework/CIHCOChildFrame.h"

#include "app/framework/CIHCODocument.h"
#include "app/workspace/DocumentCommon.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>

namespace zeb::framework {
namespace {

void tagBar(QWidget* bar, std::uint32_t id)
{
    bar->setProperty(CIHCOChildFrame::kBarIdProperty, QVariant::fromValue(id));
    bar->setObjectName(QStringLiteral("bar%1").arg(id));
}

template <typename Bar>
std::vector<Bar*> alive(const std::vector<QPointer<Bar>>& bars)
{
    std::vector<Bar*> list;
    for (const auto& bar : bars) {
        if (bar) {
            list.push_back(bar.data());
        }
    }
    return list;
}

} // namespace

CIHCOChildFrame::CIHCOChildFrame(CIHCODocument& document, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_document(&document)
    , m_inner(new QMainWindow(nullptr, Qt::Widget))
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Bar layouts are applied and captured programmatically: no animation may delay them.
    m_inner->setAnimated(false);
    setWidget(m_inner);
}

CIHCOChildFrame::~CIHCOChildFrame()
{
    releaseDocument();
}

CIHCODocument* CIHCOChildFrame::document() const
{
    return m_document.data();
}

void CIHCOChildFrame::setView(QWidget* view)
{
    m_inner->setCentralWidget(view);
}

QWidget* CIHCOChildFrame::view() const
{
    return m_inner->centralWidget();
}

void CIHCOChildFrame::addBar(QToolBar* bar, std::uint32_t id, Qt::ToolBarArea area)
{
    if (bar == nullptr) {
        return;
    }
    tagBar(bar, id);
    m_inner->addToolBar(area, bar);
    m_toolBars.emplace_back(bar);
}

void CIHCOChildFrame::addBar(QDockWidget* bar, std::uint32_t id, Qt::DockWidgetArea area)
{
    if (bar == nullptr) {
        return;
    }
    tagBar(bar, id);
    m_inner->addDockWidget(area, bar);
    m_dockWidgets.emplace_back(bar);
}

std::vector<QToolBar*> CIHCOChildFrame::toolBars() const
{
    return alive(m_toolBars);
}

std::vector<QDockWidget*> CIHCOChildFrame::dockWidgets() const
{
    return alive(m_dockWidgets);
}

std::vector<std::uint32_t> CIHCOChildFrame::barIds() const
{
    std::vector<std::uint32_t> ids;
    for (const QToolBar* bar : toolBars()) {
        ids.push_back(barId(bar));
    }
    for (const QDockWidget* bar : dockWidgets()) {
        ids.push_back(barId(bar));
    }
    return ids;
}

QWidget* CIHCOChildFrame::bar(std::uint32_t id) const
{
    for (QToolBar* bar : toolBars()) {
        if (barId(bar) == id) {
            return bar;
        }
    }
    for (QDockWidget* bar : dockWidgets()) {
        if (barId(bar) == id) {
            return bar;
        }
    }
    return nullptr;
}

std::uint32_t CIHCOChildFrame::barId(const QWidget* bar)
{
    if (bar == nullptr) {
        return 0;
    }
    const QVariant id = bar->property(kBarIdProperty);
    return id.isValid() ? id.value<std::uint32_t>() : 0;
}

QRect CIHCOChildFrame::normalPlacement() const
{
    return m_normal;
}

int CIHCOChildFrame::showState() const
{
    if (isMinimized()) {
        return workspace::DocumentCommon::kShowMinimized;
    }
    if (isMaximized()) {
        return workspace::DocumentCommon::kShowMaximized;
    }
    return workspace::DocumentCommon::kShowNormal;
}

void CIHCOChildFrame::place(const QRect& normal)
{
    m_normal = normal;
    const Qt::WindowStates state = windowState();
    const Qt::WindowStates special = state & (Qt::WindowMinimized | Qt::WindowMaximized);
    if (special == Qt::WindowNoState) {
        setGeometry(normal);
        return;
    }
    // The document area restores the geometry it saved on minimising or maximising: pass
    // through the normal state so that it saves this one.
    setWindowState(state & ~special);
    setGeometry(normal);
    setWindowState(state);
}

void CIHCOChildFrame::showWithState(int showState)
{
    switch (showState) {
    case workspace::DocumentCommon::kShowMinimized:
        showMinimized();
        break;
    case workspace::DocumentCommon::kShowMaximized:
        showMaximized();
        break;
    default:
        showNormal();
        break;
    }
}

void CIHCOChildFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    rememberPlacement();
}

void CIHCOChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (m_initialised)
        return;
    m_initialised = true;
    initialUpdate();
}

void CIHCOChildFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    rememberPlacement();
}

void CIHCOChildFrame::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) {
        releaseDocument();
    }
}

void CIHCOChildFrame::rememberPlacement()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    m_normal = geometry();
}

void CIHCOChildFrame::releaseDocument()
{
    CIHCODocument* document = m_document.data();
    m_document = nullptr;
    if (document != nullptr) {
        document->frameDestroyed();
    }
}

} // namespace zeb::framework
