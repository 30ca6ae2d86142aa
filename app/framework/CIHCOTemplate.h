#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;

namespace zeb::framework {

class CIHCODocument;
class CIHCOChildFrame;

// One document type: its key, label, type number and command, and the documents it made.
// The two command objects (Connect, Disconnect) are templates without factories.
class CIHCOTemplate
{
public:
    using DocumentFactory = std::function<std::unique_ptr<CIHCODocument>()>;
    // Builds the child frame and its view for a document; the frame is not shown yet.
    using FrameFactory = std::function<CIHCOChildFrame*(CIHCODocument& document)>;

    CIHCOTemplate(std::string key, QString label, DocumentFactory documentFactory = {}, FrameFactory frameFactory = {});
    ~CIHCOTemplate();
    CIHCOTemplate(const CIHCOTemplate&) = delete;
    CIHCOTemplate& operator=(const CIHCOTemplate&) = delete;

    const std::string& key() const { return m_key; }
    const QString& label() const { return m_label; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    int commandId() const { return m_commandId; }
    void setCommandId(int id) { m_commandId = id; }
    // A new-document command does nothing while a document of a single template exists.
    bool single() const { return m_single; }
    void setSingle(bool single) { m_single = single; }
    const QIcon& icon() const { return m_icon; }
    void setIcon(const QIcon& icon) { m_icon = icon; }
    // When set, the new-document command is enabled only while it answers true.
    void setConnectionTest(std::function<bool()> test) { m_connectionTest = std::move(test); }
    bool hasConnectionTest() const { return static_cast<bool>(m_connectionTest); }
    // True without a test.
    bool connectionReady() const;

    // Whether this template can make documents at all (not a command object, type built).
    bool makesDocuments() const { return static_cast<bool>(m_documentFactory); }

    // A new document without a frame, added to this template's list; none for a command object.
    CIHCODocument* createDocument();
    // The frame for one of this template's documents, inside `area`.
    CIHCOChildFrame* createFrame(CIHCODocument& document, QMdiArea* area);
    // The documents in creation order.
    std::vector<CIHCODocument*> documents() const;
    CIHCODocument* firstDocument() const;
    // Closes one of this template's documents without asking: closes its frame or, when it has
    // none (or the frame stays open), forgets it at once and deletes it from the event loop.
    void closeDocument(CIHCODocument* document);

private:
    friend class CIHCODocument;
    // Gives up ownership of a listed document (the caller deletes it); false when not listed.
    bool forget(CIHCODocument* document);

    std::string m_key;
    QString m_label;
    DocumentFactory m_documentFactory;
    FrameFactory m_frameFactory;
    int m_type = 0;
    int m_commandId = 0;
    bool m_single = false;
    QIcon m_icon;
    std::function<bool()> m_connectionTest;
    std::vector<std::unique_ptr<CIHCODocument>> m_documents;
};

} // namespace zeb::framework
