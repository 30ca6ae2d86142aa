// Feeds arbitrary bytes to a stream that serves remote requests from a temporary folder. The
// first byte chooses how: 0 hands the rest over raw, as a transport would; anything else cuts
// the rest into payloads (each preceded by its one-byte length) and sends each in a frame
// that passes every frame check, so the request handler itself sees the bytes.

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamDevice.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestFrame.h"
#include "testsupport/TempFolder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace {

using namespace zeb::stream;

// Open, and takes whatever is written.
class SinkDevice final : public StreamDevice
{
public:
    StreamStatus open(const StreamAddress&) override { return StreamStatus::Ok; }
    StreamStatus close() override { return StreamStatus::Ok; }
    bool isOpen() const override { return true; }
    std::size_t write(const std::uint8_t*, std::size_t count, int, int) override { return count; }
};

IOSTStream& servingStream()
{
    static const zeb::testsupport::TempFolder folder;
    static IOSTStream* stream = [] {
        std::filesystem::create_directories(folder / "dir/sub");
        folder.write("dir/file", "content");
        folder.write("new1", "1");
        rpc::installRemoteRequests(folder.path());

        StreamRegistry& registry = StreamRegistry::instance();
        registry.setTransportFactory(stream_type::Client, {[] { return std::make_unique<SinkDevice>(); }, false});
        auto* made = new IOSTStream(IOSTStream::kAnonymous);
        StreamAddress address;
        address.type = stream_type::Client;
        made->open(address);
        return made;
    }();
    return *stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IOSTStream& stream = servingStream();
    if (size == 0)
        return 0;
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    if (data[0] == 0) {
        stream.feed(rest);
        return 0;
    }
    std::array<std::uint8_t, rpc::RequestFrame::kMaxSize> frame{};
    while (!rest.empty()) {
        const std::size_t length = std::min<std::size_t>(rest[0], rest.size() - 1);
        const std::size_t built = rpc::RequestFrame::build(data[0] & 3, 1, rest.subspan(1, length), frame);
        stream.feed({frame.data(), built});
        rest = rest.subspan(1 + length);
    }
    return 0;
}
