#pragma once

#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::workspace {

// What the workspace loader and writer need of a document: its own lines, and building its
// window once its block has been read.
class WorkspaceDocument
{
public:
    virtual ~WorkspaceDocument() = default;

    // One line of the document's block, CR LF included. Answers whether the line was
    // recognised; the loader does not use the answer.
    virtual bool handleLine(std::string_view line) = 0;
    // Writes the document's lines (common lines first, then its own) between its BEGIN and END.
    virtual void writeLines(stream::IOSTStream& stream) = 0;
    // Builds, places and shows the document's window; nothing when it already has one.
    virtual bool finishLoading() = 0;
};

} // namespace zeb::workspace
