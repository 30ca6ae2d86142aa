#include "app/framework/DocumentManager.h"

#include "app/framework/CIHCODocument.h"
#include "app/framework/CIHCOTemplate.h"

namespace zeb::framework {

DocumentManager& DocumentManager::instance()
{
    static DocumentManager manager;
    return manager;
}

CIHCOTemplate& DocumentManager::addTemplate(std::unique_ptr<CIHCOTemplate> documentTemplate)
{
    m_templates.push_back(std::move(documentTemplate));
    return *m_templates.back();
}

void DocumentManager::clearTemplates()
{
    // Newest first, so that no template outlives one made after it.
    while (!m_templates.empty()) {
        m_templates.pop_back();
    }
}

CIHCOTemplate* DocumentManager::byKey(std::string_view key) const
{
    for (const auto& documentTemplate : m_templates) {
        if (documentTemplate->key() == key) {
            return documentTemplate.get();
        }
    }
    return nullptr;
}

CIHCOTemplate* DocumentManager::byCommand(int commandId) const
{
    for (const auto& documentTemplate : m_templates) {
        if (documentTemplate->commandId() == commandId) {
            return documentTemplate.get();
        }
    }
    return nullptr;
}

CIHCODocument* DocumentManager::createDocument(std::string_view key)
{
    CIHCOTemplate* documentTemplate = byKey(key);
    if (documentTemplate == nullptr) {
        return nullptr;
    }
    return documentTemplate->createDocument();
}

void DocumentManager::closeAllDocuments()
{
    for (const auto& documentTemplate : m_templates) {
        // closeDocument always takes the document off the list, so this ends.
        while (CIHCODocument* document = documentTemplate->firstDocument()) {
            documentTemplate->closeDocument(document);
        }
    }
}

std::size_t DocumentManager::documentCount() const
{
    std::size_t count = 0;
    for (const auto& documentTemplate : m_templates) {
        count += documentTemplate->documents().size();
    }
    return count;
}

} // namespace zeb::framework
