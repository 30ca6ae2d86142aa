#pragma once

#include <memory>
#include <string_view>
#include <vector>

class QMdiArea;

namespace zeb::framework {

class CIHCOTemplate;
class CIHCODocument;

// The application's list of templates, in creation order, and the operations over all of them.
class DocumentManager
{
public:
    static DocumentManager& instance();

    // The document area that child frames are added to.
    void setArea(QMdiArea* area) { m_area = area; }
    QMdiArea* area() const { return m_area; }

    CIHCOTemplate& addTemplate(std::unique_ptr<CIHCOTemplate> documentTemplate);
    void clearTemplates();
    const std::vector<std::unique_ptr<CIHCOTemplate>>& templates() const { return m_templates; }

    CIHCOTemplate* byKey(std::string_view key) const;
    CIHCOTemplate* byCommand(int commandId) const;
    // A new document of the template with that key (BEGIN lines); none when unknown.
    CIHCODocument* createDocument(std::string_view key);
    // Every template, its documents closed one by one without asking.
    void closeAllDocuments();
    std::size_t documentCount() const;

private:
    QMdiArea* m_area = nullptr;
    std::vector<std::unique_ptr<CIHCOTemplate>> m_templates;
};

} // namespace zeb::framework
