#include "autotest/document/CIHTLDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "autotest/core/PathLine.h"
#include "autotest/document/CIHTLChildFrame.h"
#include "autotest/document/CIHTLView.h"
#include "stream/IOSTStream.h"

#include <filesystem>

namespace zeb::autotest {

void CIHTLDocument::setPath(std::string path)
{
    m_path = std::move(path);
    setTitle(m_path.empty() ? std::string(kUntitled) : std::filesystem::path(m_path).filename().string());
}

CIHTLView* CIHTLDocument::view() const
{
    auto* testFrame = qobject_cast<CIHTLChildFrame*>(frame());
    return testFrame ? testFrame->testView() : nullptr;
}

bool CIHTLDocument::handleLine(std::string_view line)
{
    if (CIHCODocument::handleLine(line))
        return true;
    const std::optional<std::string> path = PathLine::parse(line);
    if (!path)
        return false;
    m_path = *path;
    return true;
}

void CIHTLDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCODocument::writeLines(stream);
    stream.write(PathLine::format(m_path));
}

bool CIHTLDocument::onNewDocument()
{
    // The title follows the path, whatever a FRAME line said.
    setPath(m_path);
    return true;
}

void registerAutomaticTestDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHTLDocument::kKey,
        {[] { return std::make_unique<CIHTLDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* test = qobject_cast<CIHTLDocument*>(&document);
             return test ? new CIHTLChildFrame(*test) : nullptr;
         }});
}

} // namespace zeb::autotest
