#pragma once

#include "app/framework/CIHCOChildFrame.h"
#include "app/workspace/DocumentCommon.h"
#include "app/workspace/WorkspaceDocument.h"

#include <QObject>
#include <QPointer>

namespace zeb::framework {

class CIHCOTemplate;
class CIHCOChildFrame;

// The base of every document: the window placement and title it keeps for its frame, the
// bar layout, and the common workspace lines. Owned by its template; closing its frame
// deletes it.
class CIHCODocument : public QObject, public workspace::WorkspaceDocument
{
    Q_OBJECT

public:
    CIHCODocument();
    ~CIHCODocument() override;

    CIHCOTemplate* documentTemplate() const { return m_template; }
    CIHCOChildFrame* frame() const { return m_frame; }
    workspace::DocumentCommon& common() { return m_common; }
    const workspace::DocumentCommon& common() const { return m_common; }
    const std::string& title() const { return m_common.title; }
    // Stores the title and sets the frame's caption.
    virtual void setTitle(const std::string& title);

    // Workspace lines: the FRAME and BAR lines; derived documents offer a line here first and
    // write their own lines after calling this.
    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;
    // Runs the new-document step, builds the frame, places it, applies a fitting bar layout,
    // shows it with the show state.
    bool finishLoading() override;

    // Closes the frame (which deletes the document) or, without a frame, deletes it.
    void close();

signals:
    void titleChanged(const QString& title);

protected:
    // The new-document step, before the frame exists.
    virtual bool onNewDocument() { return true; }
    // Copies the frame's placement and bar layout into the common fields.
    void captureFrameState();

private:
    friend class CIHCOTemplate;
    friend class CIHCOChildFrame;
    void frameDestroyed();

    CIHCOTemplate* m_template = nullptr;
    QPointer<CIHCOChildFrame> m_frame;
    workspace::DocumentCommon m_common;
};

} // namespace zeb::framework
