// Arbitrary bytes as a workspace file: the framer, the version check, the line dispatcher and
// the common line handlers of documents. Whatever loads must save and load back to the same
// documents, fields and connection.
#include "app/workspace/Workspace.h"
#include "app/workspace/WorkspaceReader.h"
#include "messages/MessageFramer.h"
#include "stream/IOSTStream.h"
#include "stream/MemoryDevice.h"
#include "stream/StreamAddress.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "testsupport/RecordingWorkspaceHost.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace {

using zeb::stream::IOSTStream;
using zeb::testsupport::FakeDocument;
using zeb::testsupport::RecordingHost;
using zeb::workspace::LoadResult;

// The queue form of the memory transport, open so that a stream's sends reach it: what is
// written reads back from its start, like a file written and then read.
class QueueDevice : public zeb::stream::MemoryDevice
{
public:
    bool isOpen() const override { return true; }
    bool atEnd() const override { return size() == 0; }
};

class QueueStream : public IOSTStream
{
public:
    QueueStream()
        : IOSTStream(kAnonymous)
    {
        attachDevice(std::make_unique<QueueDevice>(), false);
    }
};

void collect(void* context, IOSTStream*, zeb::stream::StreamEventCode code, std::intptr_t argument)
{
    if (code == zeb::stream::StreamEventCode::Send && argument != 0)
        static_cast<std::string*>(context)->append(zeb::stream::eventArgument(argument).text());
}

// Lines longer than the framer can hold (numbers written longer than they were read, such as
// "-1" as 4294967295) do not come back; such inputs are not compared.
bool linesFitTheFramer(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - start + 1 > zeb::messages::MessageFramer::kCapacity / 2)
            return false;
        start = end + 1;
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void compare(const RecordingHost& first, const RecordingHost& second)
{
    check(second.address == first.address);
    check(second.documentList.size() == first.documentList.size());
    for (std::size_t i = 0; i < first.documentList.size(); ++i) {
        const FakeDocument& a = *first.documentList[i];
        const FakeDocument& b = *second.documentList[i];
        check(a.key == b.key && a.streamId == b.streamId && b.finished);
        // A document whose block never ended has no window: its FRAME and BAR lines are not
        // written.
        if (!a.finished)
            continue;
        check(a.common.title == b.common.title && a.common.x == b.common.x && a.common.y == b.common.y
              && a.common.width == b.common.width && a.common.height == b.common.height
              && a.common.showState == b.common.showState);
        check(a.common.barState.records == b.common.barState.records);
        check(a.common.barState.loaded == b.common.barState.loaded);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The whole input as one line, past the framer.
    {
        RecordingHost host;
        zeb::workspace::WorkspaceReader reader(host);
        reader.dispatch(text);
        FakeDocument document("IHTE");
        document.handleLine(text);
    }

    const std::uint32_t key = zeb::stream::MemoryDevice::lendBlock(input);
    zeb::stream::StreamAddress address;
    address.type = zeb::stream::stream_type::Buffer;
    address.buffer = {key, static_cast<std::uint32_t>(size)};
    RecordingHost first;
    LoadResult result = LoadResult::BadVersion;
    {
        IOSTStream file(IOSTStream::kAnonymous);
        if (file.open(address) == zeb::stream::StreamStatus::Ok)
            result = zeb::workspace::replayWorkspace(file, first);
    }
    zeb::stream::MemoryDevice::withdrawBlock(key);
    if (result != LoadResult::Loaded)
        return 0;

    std::string written;
    QueueStream saved;
    saved.subscribeCallback(&collect, &written);
    zeb::workspace::writeWorkspace(saved, first);
    if (!linesFitTheFramer(written))
        return 0;
    RecordingHost second;
    check(zeb::workspace::replayWorkspace(saved, second) == LoadResult::Loaded);
    compare(first, second);
    return 0;
}
