// Remote file copy throughput: FileCopy between a local file and the far side of two streams
// linked back to back in this process (each side's receive thread delivers what the other
// writes), so the figure is the request protocol's own cost: framing, one call per 512-byte
// block, serving and the file system.

#include "stream/rpc/FileCopy.h"
#include "stream/rpc/RemoteRequests.h"
#include "testsupport/LinkedStreams.h"
#include "testsupport/TempFolder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace zeb::stream;

void copyBench(benchmark::State& state, bool upload)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    zeb::testsupport::TempFolder root;
    zeb::testsupport::TempFolder local;
    rpc::installRemoteRequests(root.path());
    zeb::testsupport::LinkedStreams streams;
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>(i * 31);
    local.write("source", content);
    root.write("source", content);
    const std::string remote = streams.near.address() + "//";
    for (auto _ : state) {
        const StreamStatus status = upload ? rpc::FileCopy::copy((local / "source").string(), remote + "copy")
                                           : rpc::FileCopy::copy(remote + "source", (local / "copy").string());
        if (status != StreamStatus::Ok) {
            state.SkipWithError("copy failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_RemoteCopyUpload(benchmark::State& state)
{
    copyBench(state, true);
}

void BM_RemoteCopyDownload(benchmark::State& state)
{
    copyBench(state, false);
}

} // namespace

BENCHMARK(BM_RemoteCopyUpload)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoteCopyDownload)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
