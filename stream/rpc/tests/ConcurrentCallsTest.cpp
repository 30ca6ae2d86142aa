// Remote calls from window threads while the far side calls back, and the request window's
// registration over the stream's life.
#include "stream/FileDevice.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/rpc/RequestFrame.h"
#include "testsupport/LinkedStreams.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

namespace zeb::stream::rpc {
namespace {

using stream::testing::HandlerWindow;
using stream::testing::mustHappen;
using testsupport::LinkedStreams;
using testsupport::TempFolder;

constexpr int kCalls = 100;

// Both sides call each other at once. The near side's replies to the far side's calls are
// written on its receive thread and told to the near window synchronously, while that window
// is itself in the middle of calls on the same stream: a lock held across those notifications
// would stop both for good.
TEST(ConcurrentCalls, AWindowCallsWhileThePeerCallsBackThroughTheSameStream)
{
    TempFolder root;
    root.write("here.txt", "x");
    installRemoteRequests(root.path());
    LinkedStreams streams;
    std::atomic<int> sendsSeen{0};
    HandlerWindow window([&](platform::MessageId id, platform::WParam, platform::LParam) {
        if (id == StreamRegistry::messages().send)
            ++sendsSeen;
        return platform::LResult{1};
    });
    streams.near.subscribeWindow(window.handle());

    std::atomic<int> farAnswered{0};
    std::atomic<bool> farDone{false};
    std::thread far([&] {
        RemoteFileClient client(streams.far);
        for (int i = 0; i < kCalls; ++i)
            farAnswered += client.fileType("here.txt") == 2 ? 1 : 0;
        farDone = true;
    });
    int nearAnswered = 0;
    window.run(
        [&] {
            RemoteFileClient client(streams.near);
            for (int i = 0; i < kCalls; ++i)
                nearAnswered += client.fileType("here.txt") == 2 ? 1 : 0;
        },
        "the window's calls to be answered");
    mustHappen([&] { return farDone.load(); }, "the far side's calls to be answered");
    far.join();

    EXPECT_EQ(nearAnswered, kCalls);
    EXPECT_EQ(farAnswered.load(), kCalls);
    EXPECT_GE(sendsSeen.load(), 2 * kCalls) << "the window sees its own requests and the replies to the far side";
}

void feedUnservedRequest(IOSTStream& stream)
{
    RemoteFileRequest request;
    request.beginWrite();
    request.appendWord(7); // a code the stream does not serve itself
    std::array<std::uint8_t, RequestFrame::kMaxSize> frame{};
    const std::size_t size = RequestFrame::build(request_kind::Request, 1, request.payload(), frame);
    stream.feed({frame.data(), size});
}

TEST(RequestWindow, StaysRegisteredAcrossClosesAndReopensUntilUnregistered)
{
    TempFolder root;
    installRemoteRequests(root.path());
    std::atomic<int> requests{0};
    HandlerWindow window([&](platform::MessageId id, platform::WParam, platform::LParam) {
        if (id == StreamRegistry::messages().rpcRequest)
            ++requests;
        return platform::LResult{1};
    });
    IOSTStream stream(IOSTStream::kAnonymous);
    RemoteRequests::registerRequestWindow(stream, window.handle());
    const std::string path = (root / "log").string();

    // Opening by text closes the stream first.
    ASSERT_EQ(stream.open(path, "w+b"), StreamStatus::Ok);
    feedUnservedRequest(stream);
    EXPECT_EQ(requests.load(), 1);
    stream.close();
    ASSERT_EQ(stream.open(path, "w+b"), StreamStatus::Ok);
    feedUnservedRequest(stream);
    EXPECT_EQ(requests.load(), 2);

    RemoteRequests::unregisterRequestWindow(stream, window.handle());
    feedUnservedRequest(stream);
    EXPECT_EQ(requests.load(), 2);
    EXPECT_EQ(stream.windowState(window.handle()), SubscriberState::Disabled);
}

// A remote file keeps no reference to the stream it was opened through: once the stream is
// gone (a peer stream its server reaped), the file's operations fail.
TEST(RemoteFile, FailsOnceTheStreamItWasOpenedThroughIsGone)
{
    TempFolder root;
    root.write("here.txt", "abc");
    installRemoteRequests(root.path());
    auto streams = std::make_unique<LinkedStreams>();
    FileDevice file;
    ASSERT_EQ(file.open("/dev/client/far/1//here.txt", "rb"), StreamStatus::Ok);
    std::array<std::uint8_t, 3> bytes{};
    EXPECT_EQ(file.read(bytes.data(), bytes.size(), false), 3u);

    streams.reset();
    EXPECT_EQ(file.read(bytes.data(), bytes.size(), false), 0u);
    EXPECT_EQ(file.close(), StreamStatus::CloseFailed);
}

} // namespace
} // namespace zeb::stream::rpc
