#pragma once

#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::workspace {

class WorkspaceHost;

enum class LoadResult {
    Loaded,
    CannotOpen, // reported to the user through the host
    BadVersion, // silent: no version line of 2 or more first
};

// Replays a workspace file: closes the workspace, then hands every line to the line
// dispatcher (CONNECT lines, document blocks, lines of the current document) until the first
// item that is not a sentence or the end of the file.
LoadResult loadWorkspace(std::string_view path, WorkspaceHost& host);

// Writes the version line, the CONNECT line when the connection is open, and one block per
// document. False (reported through the host) when the file cannot be opened for writing, or
// when not all of the lines reached it.
bool saveWorkspace(std::string_view path, WorkspaceHost& host);

// The two halves without the file: the lines read from an open stream (the version line
// first, then the dispatcher, until the first message that is no sentence), and the lines of
// the host's workspace written to an open stream. Neither calls closeWorkspace(),
// workspaceLoaded() or workspaceSaved(); replayWorkspace() answers Loaded or BadVersion.
LoadResult replayWorkspace(stream::IOSTStream& stream, WorkspaceHost& host);
void writeWorkspace(stream::IOSTStream& stream, const WorkspaceHost& host);

} // namespace zeb::workspace
