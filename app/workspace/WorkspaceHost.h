#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zeb::workspace {

class WorkspaceDocument;

// The application side of loading and saving a workspace: the application connection, the
// document templates and the messages the user sees.
class WorkspaceHost
{
public:
    struct Block
    {
        std::string key; // the template key written in the BEGIN line
        WorkspaceDocument* document = nullptr;
    };

    // A block whose key no template knows (a window of another version of the program): its
    // lines are kept as read and written back by the next save, so that saving a workspace
    // never drops what this version cannot show.
    struct KeptBlock
    {
        std::string key;
        std::vector<std::string> lines; // CR LF included
    };

    virtual ~WorkspaceHost() = default;

    // Closes the application connection, resets the frame title, closes every document.
    virtual void closeWorkspace() = 0;
    // A CONNECT line: reopen the application connection on the address (mode "rb"), set the
    // frame title. The open result is not checked.
    virtual void connectTo(std::string_view address) = 0;
    // A BEGIN line: a new document of the template with exactly this key, without a frame;
    // none when the key is unknown or the template makes no workspace document.
    virtual WorkspaceDocument* createDocument(std::string_view key) = 0;
    // A failure the user must see ("Cannot open read file\n%s", ...).
    virtual void showError(std::string_view message) = 0;

    // Saving: the application connection's address text when it is open, else empty.
    virtual std::string openConnectionAddress() const = 0;
    // Every document to save, in template order then document order.
    virtual std::vector<Block> documents() const = 0;

    // After a successful load: the workspace path becomes `path` and enters the
    // recently-used list.
    virtual void workspaceLoaded(std::string_view path) = 0;
    // After a successful save: the workspace path becomes `path` and is written to the
    // setting "workspace".
    virtual void workspaceSaved(std::string_view path) = 0;

    // The kept blocks of the workspace in hand; closing the workspace empties them.
    std::vector<KeptBlock>& keptBlocks() { return m_kept; }
    const std::vector<KeptBlock>& keptBlocks() const { return m_kept; }

private:
    std::vector<KeptBlock> m_kept;
};

} // namespace zeb::workspace
