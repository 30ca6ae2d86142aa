#include "documentation/browser/window/CIHWBView.h"

#include "app/language/qt/Resources.h"
#include "documentation/browser/core/AddressResolver.h"
#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/window/CIHWBDocument.h"
#include "platform/MessageRegistry.h"
#include "platform/MessageTarget.h"
#include "platform/Messaging.h"

#include <QDialog>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

namespace zeb::documentation {

using language::Resources;
namespace {

// Pages and pictures of the manual are small; a larger file is not read into the window.
constexpr qint64 kMaxResourceBytes = 16 * 1024 * 1024;

// The commands a hosting dialog hands to the browser, with their names as the dialog reads them.
constexpr platform::WParam kBackwardCommand = 33007;
constexpr platform::WParam kForwardCommand = 33008;
constexpr const char* kBackwardName = "BACKWARD";
constexpr const char* kForwardName = "FORWARD";

QUrl urlOf(const QString& address)
{
    const qsizetype hash = address.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(hash < 0 ? address : address.left(hash));
    if (hash >= 0)
        url.setFragment(address.mid(hash + 1));
    return url;
}

} // namespace

CIHWBView::CIHWBView(CIHWBDocument& document, QWidget* parent)
    : QTextBrowser(parent)
    , m_document(document)
{
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &CIHWBView::followLink);
    // Back, forward and refresh move the view by itself: the document follows it.
    connect(this, &QTextBrowser::sourceChanged, this, [this](const QUrl& source) {
        if (source.isLocalFile())
            m_document.setAddress(source.toLocalFile().toStdString()
                                  + (source.hasFragment() ? "#" + source.fragment().toStdString() : std::string()));
    });
    connect(&document, &CIHWBDocument::addressChanged, this, &CIHWBView::showAddress);
    showAddress(QString::fromStdString(document.address()));
}

QString CIHWBView::currentPage() const
{
    return source().isLocalFile() ? source().toLocalFile() : QString();
}

void CIHWBView::showAddress(const QString& address)
{
    if (address.isEmpty())
        return;
    const QUrl url = urlOf(address);
    if (url == source())
        return;
    setSource(url);
    if (document()->isEmpty())
        setPlainText(Resources::text("IHWB/NOT_INSTALLED", QStringLiteral("The documentation is not installed: %1"))
                         .arg(address));
}

void CIHWBView::initialUpdate()
{
    for (QWidget* parent = parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
        if (qobject_cast<QDialog*>(parent) == nullptr)
            continue;
        // Only a dialog with a message handle can take the commands; the nearest dialog decides.
        const auto* target = dynamic_cast<const platform::MessageTarget*>(parent);
        if (target == nullptr)
            return;
        static const platform::MessageId accept = platform::MessageRegistry::registerMessage("ON_ACCEPT_COMMAND");
        // The names are literals: they outlive the synchronous sends that carry them.
        platform::send(target->handle(), accept, kBackwardCommand, reinterpret_cast<platform::LParam>(kBackwardName));
        platform::send(target->handle(), accept, kForwardCommand, reinterpret_cast<platform::LParam>(kForwardName));
        return;
    }
}

void CIHWBView::home()
{
    m_document.setAddress(CIHWBDocument::homeAddress());
}

void CIHWBView::followLink(const QUrl& link)
{
    const std::string href = link.toEncoded().toStdString();
    if (AddressResolver::isExternal(href)) {
        m_document.setAddress(href);
        return;
    }
    if (link.scheme().isEmpty() && link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const auto target = DocumentationRoots::installed().follow(currentPage().toStdString(), href);
    if (!target) {
        emit notice(Resources::text("IHWB/LINK_REFUSED",
                                    QStringLiteral("This link leads out of the documentation and is not followed: %1"))
                        .arg(QString::fromStdString(href)));
        return;
    }
    m_document.setAddress(*target);
}

QVariant CIHWBView::loadResource(int type, const QUrl& name)
{
    const DocumentationRoots roots = DocumentationRoots::installed();
    std::string wanted = name.isLocalFile() ? name.toLocalFile().toStdString() : std::string();
    if (name.isRelative()) {
        const auto followed = roots.follow(currentPage().toStdString(), name.toEncoded().toStdString());
        wanted = followed ? followed->substr(0, followed->find('#')) : std::string();
    }
    const std::optional<std::string> path = roots.admit(wanted);
    QFile file(path ? QString::fromStdString(*path) : QString());
    if (!path || file.size() > kMaxResourceBytes || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(bytes);
    return bytes;
}

void CIHWBView::setZoomStep(int step)
{
    step = std::clamp(step, kSmallestZoom, kLargestZoom);
    zoomIn(step - m_zoom);
    m_zoom = step;
}

bool CIHWBView::findText(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (find(text))
        return true;
    QTextCursor start = textCursor();
    start.movePosition(QTextCursor::Start);
    setTextCursor(start);
    return find(text);
}

} // namespace zeb::documentation
