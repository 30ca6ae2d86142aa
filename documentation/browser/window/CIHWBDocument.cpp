#include "documentation/browser/window/CIHWBDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "app/language/LanguageList.h"
#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/core/UrlLine.h"
#include "documentation/browser/window/CIHWBChildFrame.h"
#include "platform/Environment.h"
#include "stream/IOSTStream.h"

#include <QDesktopServices>
#include <QUrl>

namespace zeb::documentation {
namespace {

CIHWBDocument::ExternalOpener& opener()
{
    static CIHWBDocument::ExternalOpener instance;
    return instance;
}

AddressResolver currentResolver(const DocumentationRoots& roots)
{
    const auto& codes = language::LanguageList::kProbeOrder;
    return AddressResolver(std::vector<std::string>(codes.begin(), codes.end()), platform::Environment::language(),
                           roots.introduction());
}

} // namespace

void CIHWBDocument::setExternalOpener(ExternalOpener externalOpener)
{
    opener() = std::move(externalOpener);
}

void CIHWBDocument::openExternally(const std::string& address)
{
    if (opener()) {
        opener()(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

std::string CIHWBDocument::homeAddress()
{
    const DocumentationRoots roots = DocumentationRoots::installed();
    return currentResolver(roots).resolve(roots.introduction(platform::Environment::language())).address;
}

void CIHWBDocument::setAddress(std::string_view address)
{
    const DocumentationRoots roots = DocumentationRoots::installed();
    const AddressResolver::Result resolved = currentResolver(roots).resolve(address);
    if (resolved.external) {
        openExternally(resolved.address);
        emit notice(tr("Opened in the desktop's web browser: %1").arg(QString::fromStdString(resolved.address)));
        return;
    }
    std::string path = resolved.address;
    std::string fragment;
    if (const std::size_t hash = path.find('#'); hash != std::string::npos) {
        fragment = path.substr(hash);
        path.resize(hash);
    }
    std::string shown;
    if (const auto admitted = roots.admit(path)) {
        shown = *admitted + fragment;
    } else {
        emit notice(tr("Only pages of the documentation folders are shown; not %1")
                        .arg(QString::fromStdString(resolved.address)));
        const auto home = roots.admit(roots.introduction());
        shown = home ? *home : resolved.address;
    }
    if (shown == m_address)
        return;
    m_address = shown;
    emit addressChanged(QString::fromStdString(m_address));
}

bool CIHWBDocument::handleLine(std::string_view line)
{
    if (CIHCODocument::handleLine(line))
        return true;
    const std::optional<std::string> value = UrlLine::parse(line);
    if (!value)
        return false;
    // A workspace never starts the desktop's browser: a web address there is left out.
    if (!AddressResolver::isExternal(*value))
        setAddress(*value);
    return true;
}

void CIHWBDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCODocument::writeLines(stream);
    stream.write(UrlLine::format(m_address));
}

bool CIHWBDocument::onNewDocument()
{
    if (m_address.empty())
        setAddress(homeAddress());
    return true;
}

void registerBrowserDocumentType()
{
    framework::DocumentTypeCatalog::setFactories(
        CIHWBDocument::kKey,
        {[] { return std::make_unique<CIHWBDocument>(); },
         [](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
             auto* browser = qobject_cast<CIHWBDocument*>(&document);
             return browser ? new CIHWBChildFrame(*browser) : nullptr;
         }});
}

} // namespace zeb::documentation
