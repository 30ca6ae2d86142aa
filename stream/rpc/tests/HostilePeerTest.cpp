// A peer that lies: escaping names, endless listings, malformed replies, frames with pings in
// them, and the folders a peer must never reach. Every attempt ends in a clear failure value,
// in bounded time, with nothing written outside the target.

#include "testsupport/HostilePeer.h"

#include "messages/MessageFramer.h"
#include "platform/Environment.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/FileCopy.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/rpc/RequestServer.h"
#include "stream/rpc/ServedFolder.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/StreamTestSupport.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>

namespace zeb::stream::rpc {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::HostilePeer;
using testsupport::ScopedEnvironment;
using testsupport::TempFolder;
using View = RequestFrame::View;

class HostilePeerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        socket::registerSocketTransports();
        ASSERT_EQ(installRemoteRequests(served.path()), "");
    }
    void TearDown() override { link.close(); }

    void connect(const HostilePeer& peer)
    {
        ASSERT_EQ(link.open(peer.address(), "r+b"), StreamStatus::Ok);
        ASSERT_TRUE(link.isOpen());
    }
    std::string remote(const std::string& path) const { return link.address() + "//" + path; }

    // A tree whose one folder "dir" lists `names`; everything else is a file.
    static HostilePeer::Tree listing(std::vector<std::string> names)
    {
        return {[](std::string_view path) { return path == "dir" ? file_type::Directory : file_type::Regular; },
                [names](std::string_view folder, std::uint32_t at) -> std::optional<std::string> {
                    return folder == "dir" && at < names.size() ? std::optional(names[at]) : std::nullopt;
                }};
    }

    TempFolder served;
    TempFolder local;
    IOSTStream link{IOSTStream::kAnonymous};
};

TEST_F(HostilePeerTest, ACopyWritesNothingOutsideItsTarget)
{
    fs::create_directories(local / "outside");
    for (const std::string name : {"../escaped", "..", ".", "", "a/b", "/tmp/escaped", "planted"}) {
        SCOPED_TRACE(name);
        const fs::path target = local / "target";
        fs::remove_all(target);
        fs::create_directories(target);
        // A link left in the target earlier must not carry the copy out.
        fs::create_directory_symlink(local / "outside", target / "planted");
        HostilePeer peer(HostilePeer::serving(listing({"fine", name})));
        connect(peer);
        EXPECT_EQ(FileCopy::copy(remote("dir"), target.string()), StreamStatus::NotOpen);
        EXPECT_FALSE(fs::exists(local / "escaped"));
        EXPECT_TRUE(fs::is_empty(local / "outside"));
        link.close();
    }
}

TEST_F(HostilePeerTest, EndlessListingsAndTreesStopAtTheirBounds)
{
    HostilePeer endless(HostilePeer::serving(
        {[](std::string_view) { return file_type::Directory; },
         [](std::string_view, std::uint32_t at) { return std::optional("e" + std::to_string(at)); }}));
    connect(endless);
    RemoteFileClient client(link);
    std::vector<DirectoryEntry> entries;
    EXPECT_EQ(client.list("dir", entries), StreamStatus::NotOpen);
    EXPECT_LE(endless.requests(), kMaxListing + 3);
    link.close();

    HostilePeer deep(HostilePeer::serving(
        {[](std::string_view) { return file_type::Directory; },
         [](std::string_view, std::uint32_t at) { return at == 0 ? std::optional<std::string>("d") : std::nullopt; }}));
    connect(deep);
    EXPECT_EQ(FileCopy::copy(remote("dir"), (local / "deep").string()), StreamStatus::NotOpen);
    int depth = 0;
    for (fs::path at = local / "deep"; fs::exists(at); at /= "d")
        ++depth;
    EXPECT_LE(depth, kMaxTreeDepth + 1);
}

TEST_F(HostilePeerTest, MalformedRepliesEndInTheFailureValue)
{
    const auto words = [](std::vector<std::uint32_t> values) {
        return [values](const View& request) {
            return std::vector{HostilePeer::reply(request, [&](RemoteFileRequest& out) {
                for (const std::uint32_t value : values)
                    out.appendWord(value);
            })};
        };
    };
    const auto block = [](std::size_t size) {
        return [size](const View& request) {
            return std::vector{HostilePeer::reply(
                request, [&](RemoteFileRequest& out) { out.appendBlock(std::vector<std::uint8_t>(size, 'A')); })};
        };
    };
    const auto raw = [](std::string bytes) { return [bytes](const View&) { return std::vector{bytes}; }; };
    const auto damaged = [](std::size_t at, char value) {
        return [at, value](const View& request) {
            std::string frame = HostilePeer::reply(request, [](RemoteFileRequest& out) { out.appendWord(1); });
            frame[at] = value;
            return std::vector{frame};
        };
    };
    std::uint8_t buffer[kReadBlock + 1] = {};
    // What the peer does wrong, its answers, and whether the client call ends refused.
    using Case = std::tuple<const char*, HostilePeer::Responder, std::function<bool(RemoteFileClient&)>>;
    const Case cases[] = {
        {"empty open reply", words({}), [](auto& c) { return c.open("f", O_RDONLY) < 0; }},
        {"handle 0", words({0}), [](auto& c) { return c.open("f", O_RDONLY) < 0; }},
        {"block longer than the payload", words({1000, 1}), [&](auto& c) { return c.read(1, buffer, 16) < 0; }},
        {"more bytes than asked", block(600), [&](auto& c) { return c.read(1, buffer, 4) == 4 && buffer[4] == 0; }},
        {"a listing entry cut short", words({0, 1, 95}),
         [](auto& c) {
             std::vector<DirectoryEntry> entries;
             return c.list("d", entries) != StreamStatus::Ok;
         }},
        {"unique name without its name", words({}), [](auto& c) { return !c.uniqueName("n%u"); }},
        {"bad checksum", damaged(16 + 4, 0x55), [](auto& c) { return c.fileType("f") == file_type::NotFound; }},
        {"wrong identifier",
         [](const View& request) {
             View other = request;
             other.identifier ^= 1;
             return std::vector{HostilePeer::reply(other, [](RemoteFileRequest& out) { out.appendWord(1); })};
         },
         [](auto& c) { return c.fileType("f") == file_type::NotFound; }},
        {"endless length field", raw(std::string("\xFE\x78\xFF\xF0") + std::string(300, 'x')),
         [](auto& c) { return c.fileType("f") == file_type::NotFound; }},
        {"garbage", raw("\xFE\xFD\x07\xFF\xFF\x02\x03$PKVR\r\n\xFE"),
         [](auto& c) { return c.remove("f") != StreamStatus::Ok; }},
    };
    for (const auto& [what, respond, refused] : cases) {
        SCOPED_TRACE(what);
        HostilePeer peer(respond);
        connect(peer);
        RemoteFileClient client(link, 300ms);
        EXPECT_TRUE(refused(client));
        link.close();
    }
}

// Over TCP nothing is escaped: a frame with an 0xFF inside is framed by its length field, and
// only up to 8000 bytes. Escaped, every inner byte may double. Both must fit the receiver.
TEST_F(HostilePeerTest, RequestsNeverOutgrowWhatTheReceivingFramerTakes)
{
    RemoteFileRequest record;
    record.beginWrite();
    // As large as a request gets (the payload tests check that nothing more fits).
    ASSERT_EQ(record.appendBlock(std::vector<std::uint8_t>(RemoteFileRequest::kMaxAppend - 4, 0xFF)), StreamStatus::Ok);
    std::array<std::uint8_t, RequestFrame::kMaxSize> frame{};
    const std::size_t size = RequestFrame::build(request_kind::Request, 1, record.payload(), frame);
    const std::vector<std::uint8_t> plain(frame.begin(), frame.begin() + static_cast<long>(size));
    for (const auto& wire : {plain, stream::testing::escapedFrame(plain)}) {
        messages::MessageFramer framer;
        ASSERT_EQ(framer.append(wire), wire.size());
        const messages::FrameResult result = framer.step();
        EXPECT_EQ(result.status, messages::ReadStatus::Complete);
        EXPECT_EQ(result.length, size);
    }
}

TEST_F(HostilePeerTest, APingInsideAReplyIsData)
{
    HostilePeer peer([](const View& request) {
        const std::string frame = HostilePeer::reply(request, [](RemoteFileRequest& out) {
            out.appendWord(file_type::Regular);
            out.appendText("$PKVR,RPC,PING\r\n");
        });
        const std::size_t cut = frame.find("RPC,PING");
        return std::vector{frame.substr(0, cut), frame.substr(cut)};
    });
    connect(peer);
    RemoteFileClient client(link);
    // The peer reads in order: by the second reply it has seen anything sent before.
    for (int call = 0; call < 2; ++call)
        EXPECT_EQ(client.fileType("f"), file_type::Regular) << "status " << static_cast<int>(client.lastStatus());
    EXPECT_EQ(peer.strayBytes(), "") << "a ping inside a frame is never answered";
}

TEST_F(HostilePeerTest, PeersNeverReachCodeOrSettings)
{
    TempFolder scratch;
    ScopedEnvironment environment;
    const fs::path home = scratch / "home";
    environment.set("ZEB500_HOME", home.c_str());
    environment.set("ZEB500_ASSETS", (scratch / "assets").c_str());
    environment.set("XDG_CONFIG_HOME", (scratch / "config").c_str());
    const std::map<fs::path, bool> refused = {
        {home, true},
        {scratch.path(), true}, // holds the data folder
        {home / "extension", true},
        {scratch / "assets", true},
        {scratch / "assets/lib", true},
        {scratch / "config/Orvane", true},
        {home / "disk", false},
        {scratch / "elsewhere", false},
    };
    for (const auto& [root, expected] : refused)
        EXPECT_EQ(!ServedFolder::refusal(root).empty(), expected) << root;
    EXPECT_NE(installRemoteRequests(home).find("data folder"), std::string::npos);
    EXPECT_FALSE(RootFolder("").resolve("x"));

    // By default peers get a folder of their own, made empty.
    EXPECT_EQ(installRemoteRequests(), "");
    EXPECT_TRUE(fs::is_directory(home / "disk") && fs::is_empty(home / "disk"));

    // What is installed or built is loaded before anything in the data folder.
    scratch.write("home/UTTEV001R001ENU.so", "planted");
    scratch.write("assets/UTTEV001R001ENU.so", "built");
    EXPECT_EQ(platform::Environment::findLibrary("UTTEV001R001ENU.so"),
              (scratch / "assets/UTTEV001R001ENU.so").string());

    // Without any home there is no data folder, and nothing falls back to a shared one.
    for (const char* name : {"HOME", "XDG_DATA_HOME", "ZEB500_HOME"})
        environment.set(name, nullptr);
    EXPECT_EQ(platform::Environment::home(), "");
    EXPECT_EQ(ServedFolder::defaultPath(), "");
}

TEST_F(HostilePeerTest, ServingIsBoundedOverTheWholeProcess)
{
    served.write("f", "x");
    const auto serve
        = [](RequestServer& server, std::uint32_t code, const std::function<void(RemoteFileRequest&)>& fill) {
              RemoteFileRequest request;
              RemoteFileRequest reply;
              request.beginWrite();
              fill(request);
              request.beginRead();
              reply.beginWrite();
              server.serve(code, request, reply);
              return std::vector<std::uint8_t>(reply.payload().begin(), reply.payload().end());
          };
    const auto open = [&](RequestServer& server) {
        const auto reply = serve(server, request_code::Open, [](RemoteFileRequest& r) {
            r.appendText("f");
            r.appendWord(0);
            r.appendWord(0644);
        });
        return reply.size() == 4 && reply != std::vector<std::uint8_t>(4, 0xFF);
    };
    auto root = std::make_shared<const RootFolder>(served.path());
    auto first = std::make_unique<RequestServer>(root);
    RequestServer second(root);
    while (RequestServer::openFilesInProcess() < RequestServer::kMaxOpenFiles)
        ASSERT_TRUE(open(*first));
    EXPECT_FALSE(open(second)) << "a second connection gets no more descriptors";
    first.reset();
    EXPECT_TRUE(open(second));

    fs::path deep = served / "deep";
    for (int i = 0; i <= kMaxTreeDepth + 1; ++i)
        deep /= "d";
    fs::create_directories(deep);
    const auto status = serve(second, request_code::Remove, [](RemoteFileRequest& r) { r.appendText("deep"); });
    EXPECT_EQ(status, std::vector{static_cast<std::uint8_t>(StreamStatus::NotOpen)}) << "a remove too deep is refused";
}

TEST_F(HostilePeerTest, AnRtcmOverflowIsReported)
{
    static std::string reported;
    IOSTStream::setErrorTrace([](std::string_view line) { reported = line; });
    // 33 words of a type 16 message: 165 bytes, more than the 160 kept raw.
    std::vector<std::uint8_t> bytes;
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < 33; ++i) {
        const std::uint32_t data = i == 0 ? (messages::RtcmWordAssembler::kPreamble << 16) | (16u << 10) | 77u
            : i == 1                      ? (1234u << 11) | (5u << 8) | (31u << 3)
                                          : (0x123456u * i) & 0xFFFFFFu;
        previous = messages::RtcmWordAssembler::encodeWord(data, previous);
        for (int k = 0; k < 30; k += 6) {
            std::uint8_t b = 0x40;
            for (int bit = 0; bit < 6; ++bit)
                b |= static_cast<std::uint8_t>(((previous >> (29 - k - bit)) & 1u) << bit);
            bytes.push_back(b);
        }
    }
    IOSTStream stream(IOSTStream::kAnonymous);
    stream.feed(bytes);
    IOSTStream::setErrorTrace(nullptr);
    EXPECT_EQ(reported, stream.address() + " RTCM buffer overflow");
}

} // namespace
} // namespace zeb::stream::rpc
