#include "app/framework/CIHCOTemplate.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCODocument.h"

#include <QMdiArea>

#include <algorithm>

namespace zeb::framework {

CIHCOTemplate::CIHCOTemplate(std::string key, QString label, DocumentFactory documentFactory, FrameFactory frameFactory)
    : m_key(std::move(key))
    , m_label(std::move(label))
    , m_documentFactory(std::move(documentFactory))
    , m_frameFactory(std::move(frameFactory))
{
}

CIHCOTemplate::~CIHCOTemplate()
{
    // Documents still listed go with their template; each takes its frame with it. They must
    // not call back into this half-destroyed template.
    for (auto& document : m_documents) {
        document->m_template = nullptr;
    }
    m_documents.clear();
}

bool CIHCOTemplate::connectionReady() const
{
    return !m_connectionTest || m_connectionTest();
}

CIHCODocument* CIHCOTemplate::createDocument()
{
    if (!m_documentFactory) {
        return nullptr;
    }
    std::unique_ptr<CIHCODocument> document = m_documentFactory();
    if (!document) {
        return nullptr;
    }
    document->m_template = this;
    m_documents.push_back(std::move(document));
    return m_documents.back().get();
}

CIHCOChildFrame* CIHCOTemplate::createFrame(CIHCODocument& document, QMdiArea* area)
{
    if (!m_frameFactory || document.m_template != this) {
        return nullptr;
    }
    CIHCOChildFrame* frame = m_frameFactory(document);
    if (frame == nullptr) {
        return nullptr;
    }
    if (area != nullptr) {
        area->addSubWindow(frame);
    }
    document.m_frame = frame;
    frame->setWindowTitle(QString::fromStdString(document.title()));
    return frame;
}

std::vector<CIHCODocument*> CIHCOTemplate::documents() const
{
    std::vector<CIHCODocument*> list;
    list.reserve(m_documents.size());
    for (const auto& document : m_documents) {
        list.push_back(document.get());
    }
    return list;
}

CIHCODocument* CIHCOTemplate::firstDocument() const
{
    return m_documents.empty() ? nullptr : m_documents.front().get();
}

void CIHCOTemplate::closeDocument(CIHCODocument* document)
{
    if (document == nullptr || document->m_template != this) {
        return;
    }
    if (CIHCOChildFrame* frame = document->frame()) {
        // The frame's close event hands the document back for deletion.
        frame->close();
    }
    // Without a frame, or with one whose view refused to close: the document goes anyway, and
    // takes a remaining frame with it. Nobody is asked.
    if (document->m_template == this) {
        forget(document);
        document->deleteLater();
    }
}

bool CIHCOTemplate::forget(CIHCODocument* document)
{
    auto found = std::find_if(m_documents.begin(), m_documents.end(),
                              [document](const auto& owned) { return owned.get() == document; });
    if (found == m_documents.end()) {
        return false;
    }
    found->release();
    m_documents.erase(found);
    document->m_template = nullptr;
    return true;
}

} // namespace zeb::framework
