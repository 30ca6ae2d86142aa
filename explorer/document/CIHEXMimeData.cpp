#include "explorer/document/CIHEXMimeData.h"

#include "explorer/document/CIHEXDocument.h"

#include <QFileInfo>

namespace zeb::explorer {

namespace {

constexpr QLatin1StringView kUriList("text/uri-list");

} // namespace

CIHEXMimeData::CIHEXMimeData(const QByteArray& remotePaths, Stager stager)
    : m_stager(std::move(stager))
{
    setData(QString::fromLatin1(CIHEXDocument::kClipboardFormat), remotePaths);
    setText(QString::fromUtf8(remotePaths));
}

QStringList CIHEXMimeData::formats() const
{
    QStringList offered = QMimeData::formats();
    offered.append(QString(kUriList));
    return offered;
}

QList<QUrl> CIHEXMimeData::localFiles() const
{
    // Staged files go at the next drag or when the window closes; a later paste fetches again.
    const bool present = !m_urls.isEmpty() && std::all_of(m_urls.begin(), m_urls.end(), [](const QUrl& url) {
        return QFileInfo::exists(url.toLocalFile());
    });
    if (present || m_fetching || !m_stager)
        return present ? m_urls : QList<QUrl>();
    m_fetching = true;
    m_urls = m_stager();
    m_fetching = false;
    return m_urls;
}

QVariant CIHEXMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType != kUriList)
        return QMimeData::retrieveData(mimeType, type);
    const QList<QUrl> urls = localFiles();
    if (type.id() == QMetaType::QByteArray) {
        QByteArray lines;
        for (const QUrl& url : urls)
            lines += url.toEncoded() + "\r\n";
        return lines;
    }
    QVariantList list;
    for (const QUrl& url : urls)
        list.append(url);
    return list;
}

} // namespace zeb::explorer
