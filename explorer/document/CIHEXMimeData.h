#pragma once

#include <QList>
#include <QMimeData>
#include <QUrl>

#include <functional>

namespace zeb::explorer {

// What a drag out of an explorer, or its Copy command, offers: the entries' remote paths in the
// explorer's own format and as plain text, for another explorer; and, for the desktop's file
// manager, "text/uri-list" with local files. The files are on the receiver, so the list is made
// only when a program asks for it: the stager fetches them into a local folder (with the
// explorer's progress and Cancel, the window still answering) and answers their URLs, or none
// when the fetch was cancelled or failed. Later requests get the same files while they exist.
class CIHEXMimeData : public QMimeData
{
    Q_OBJECT

public:
    using Stager = std::function<QList<QUrl>()>;

    CIHEXMimeData(const QByteArray& remotePaths, Stager stager);

    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QList<QUrl> localFiles() const;

    Stager m_stager;
    mutable QList<QUrl> m_urls;
    // A request that comes while the files are being fetched gets none, rather than a second fetch.
    mutable bool m_fetching = false;
};

} // namespace zeb::explorer
