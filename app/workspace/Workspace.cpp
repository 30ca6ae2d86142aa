#include "app/workspace/Workspace.h"

#include "app/workspace/WorkspaceDocument.h"
#include "app/workspace/WorkspaceHost.h"
#include "app/workspace/WorkspaceReader.h"
#include "messages/MessageKind.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamCallback.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <cstdint>
#include <string>

namespace zeb::workspace {
namespace {

using messages::MessageKind;
using messages::ReadStatus;
using stream::IOSTStream;
using stream::StreamStatus;

constexpr std::string_view kVersionPattern = "$PKVR,RPC,UTTE,VERSION,%u\r\n";
constexpr std::string_view kVersionLine = "$PKVR,RPC,UTTE,VERSION,2\r\n";
constexpr std::string_view kEndLine = "$PKVR,RPC,DOCUMENT,END\r\n";
constexpr unsigned kLowestVersion = 2;

// The next sentence of the stream; false at the first message of another kind, a broken
// sentence, or the end of the input.
bool nextLine(IOSTStream& stream, stream::StreamEvent& event)
{
    return stream.receive(event) == ReadStatus::Complete && event.kind == MessageKind::Telecommand;
}

// A workspace is a file: a path that reads as a serial or socket address would open a port.
bool isFilePath(std::string_view path)
{
    stream::StreamAddress address;
    return stream::parseOpenText(path, address) == stream::OpenTarget::File;
}

// The CONNECT line carries the address outside quotes: a control byte, or a byte 0x80-0xFF
// outside a quoted part, would make the line unreadable and end loading right there, before
// any document. Such an address is not written.
bool fitsConnectLine(std::string_view address)
{
    bool quoted = false;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"')
            quoted = !quoted;
        else if (byte < 0x20 || (byte >= 0x80 && !quoted))
            return false;
    }
    return true;
}

std::string pathText(std::string_view path)
{
    return std::string(path);
}

// Counts the bytes handed to the file, to tell whether all of them arrived.
struct WrittenCount
{
    std::uint64_t bytes = 0;

    static void callback(void* context, IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        if (code == stream::StreamEventCode::Send && argument != 0)
            static_cast<WrittenCount*>(context)->bytes += stream::eventArgument(argument).length();
    }
};

} // namespace

LoadResult replayWorkspace(IOSTStream& stream, WorkspaceHost& host)
{
    stream::StreamEvent event;
    unsigned version = 0;
    if (!nextLine(stream, event) || text::scan(event.text(), kVersionPattern, &version) != 1
        || version < kLowestVersion)
        return LoadResult::BadVersion;
    WorkspaceReader reader(host);
    while (nextLine(stream, event))
        reader.dispatch(event.text());
    return LoadResult::Loaded;
}

void writeWorkspace(IOSTStream& stream, const WorkspaceHost& host)
{
    stream.write(kVersionLine);
    const std::string address = host.openConnectionAddress();
    if (!address.empty() && fitsConnectLine(address))
        stream.write(text::format("$PKVR,RPC,UTTE,CONNECT,%s\r\n", address.c_str()));
    for (const WorkspaceHost::Block& block : host.documents()) {
        if (!block.document)
            continue;
        stream.write(text::format("$PKVR,RPC,DOCUMENT,BEGIN,\"%s\"\r\n", block.key.c_str()));
        block.document->writeLines(stream);
        stream.write(kEndLine);
    }
    for (const WorkspaceHost::KeptBlock& block : host.keptBlocks()) {
        stream.write(text::format("$PKVR,RPC,DOCUMENT,BEGIN,\"%s\"\r\n", block.key.c_str()));
        for (const std::string& line : block.lines)
            stream.write(line);
        stream.write(kEndLine);
    }
}

LoadResult loadWorkspace(std::string_view path, WorkspaceHost& host)
{
    host.closeWorkspace();
    host.keptBlocks().clear();
    IOSTStream stream(IOSTStream::kAnonymous);
    if (!isFilePath(path) || stream.open(path, "rb") != StreamStatus::Ok) {
        host.showError(text::format("Cannot open read file\n%s", pathText(path).c_str()));
        return LoadResult::CannotOpen;
    }
    const LoadResult result = replayWorkspace(stream, host);
    stream.close();
    if (result == LoadResult::Loaded)
        host.workspaceLoaded(path);
    return result;
}

bool saveWorkspace(std::string_view path, WorkspaceHost& host)
{
    WrittenCount written;
    IOSTStream stream(IOSTStream::kAnonymous);
    if (!isFilePath(path) || stream.open(path, "wb") != StreamStatus::Ok) {
        host.showError(text::format("Cannot open write file\n%s", pathText(path).c_str()));
        return false;
    }
    stream.subscribeCallback(&WrittenCount::callback, &written);
    writeWorkspace(stream, host);
    // A full disk takes only part of the lines: the file would load as a cut-down workspace,
    // so the save is reported as failed rather than remembered.
    const bool complete = stream.device() && stream.device()->size() == written.bytes;
    stream.close();
    if (!complete) {
        host.showError(text::format("Cannot write file\n%s", pathText(path).c_str()));
        return false;
    }
    host.workspaceSaved(path);
    return true;
}

} // namespace zeb::workspace
