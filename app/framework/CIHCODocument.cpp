#include "app/framework/CIHCODocument.h"

#include "app/framework/BarLayout.h"
#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/WindowPlacement.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

namespace zeb::framework {

CIHCODocument::CIHCODocument() = default;

CIHCODocument::~CIHCODocument()
{
    // Deleted while its frame is still open (its template went away): the frame goes too,
    // without reporting back to this half-destroyed document.
    if (CIHCOChildFrame* frame = m_frame.data()) {
        frame->m_document = nullptr;
        delete frame;
    }
}

void CIHCODocument::setTitle(const std::string& title)
{
    m_common.title = title;
    const QString caption = QString::fromStdString(title);
    if (m_frame) {
        m_frame->setWindowTitle(caption);
    }
    emit titleChanged(caption);
}

bool CIHCODocument::handleLine(std::string_view line)
{
    return m_common.handleLine(line);
}

void CIHCODocument::writeLines(stream::IOSTStream& stream)
{
    if (!m_frame) {
        return;
    }
    captureFrameState();
    QSize screen;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screen = primary->size();
    }
    m_common.writeLines(stream, screen.width(), screen.height());
}

bool CIHCODocument::finishLoading()
{
    if (m_frame) {
        return true;
    }
    if (m_template == nullptr) {
        return false;
    }
    if (!onNewDocument()) {
        return false;
    }
    CIHCOChildFrame* frame = m_template->createFrame(*this, DocumentManager::instance().area());
    if (frame == nullptr) {
        return false;
    }
    // A FRAME line may put the window anywhere: it opens where the user can reach it.
    const QMdiArea* area = DocumentManager::instance().area();
    frame->place(WindowPlacement::reachable(m_common.x, m_common.y, m_common.width, m_common.height,
                                            area ? area->viewport()->rect() : QRect()));
    frame->setWindowTitle(QString::fromStdString(m_common.title));
    frame->showWithState(workspace::DocumentCommon::kShowNormal);

    workspace::BarState& bars = m_common.barState;
    if (bars.loaded) {
        // A layout saved for other bars would leave the frame half arranged: all or nothing.
        if (!BarLayout::apply(*frame, bars)) {
            bars.loaded = false;
        }
    }
    frame->showWithState(m_common.showState);
    return true;
}

void CIHCODocument::close()
{
    if (m_template != nullptr) {
        m_template->closeDocument(this);
        return;
    }
    if (m_frame) {
        m_frame->close();
    }
}

void CIHCODocument::captureFrameState()
{
    if (!m_frame) {
        return;
    }
    const QRect normal = m_frame->normalPlacement();
    m_common.x = normal.x();
    m_common.y = normal.y();
    m_common.width = normal.width();
    m_common.height = normal.height();
    m_common.showState = m_frame->showState();
    m_common.barState.records = BarLayout::capture(*m_frame);
}

void CIHCODocument::frameDestroyed()
{
    m_frame = nullptr;
    // Only a document its template owns is deleted here; deleteLater because the close may
    // have started inside one of this document's own functions.
    if (m_template != nullptr && m_template->forget(this)) {
        deleteLater();
    }
}

} // namespace zeb::framework
