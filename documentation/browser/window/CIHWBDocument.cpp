#include "documentation/browser/window/CIHWBDocument.h"

#include "app/framework/DocumentTypeCatalog.h"
#include "app/language/qt/Resources.h"
#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/core/ShownAddress.h"
#include "documentation/browser/core/UrlLine.h"
#include "documentation/browser/window/CIHWBChildFrame.h"
#include "platform/Environment.h"
#include "stream/IOSTStream.h"

#include <QDesktopServices>
#include <QUrl>

namespace zeb::documentation {

using language::Resources;
namespace {

CIHWBDocument::ExternalOpener& opener()
{
    static CIHWBDocument::ExternalOpener instance;
    return instance;
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
    const std::string language = platform::Environment::language();
    return ShownAddress::choose(roots.introduction(language), language, roots).address;
}

void CIHWBDocument::setAddress(std::string_view address)
{
    const ShownAddress shown
        = ShownAddress::choose(address, platform::Environment::language(), DocumentationRoots::installed());
    if (shown.external) {
        openExternally(shown.address);
        emit notice(Resources::text("IHWB/OPENED_OUTSIDE", QStringLiteral("Opened in the desktop's web browser: %1"))
                        .arg(QString::fromStdString(shown.address)));
        return;
    }
    if (shown.refused)
        emit notice(Resources::text("IHWB/NOT_DOCUMENTATION",
                                    QStringLiteral("Only pages of the documentation folders are shown; not %1"))
                        .arg(QString::fromStdString(shown.refusedAddress)));
    if (shown.address == m_address)
        return;
    m_address = shown.address;
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
