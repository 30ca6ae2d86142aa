// Recording throughput: a mixed receiver stream is fed through a stream in 4096-byte
// portions, and a subscriber writes every message as a framed record into a file series
// that rolls over to the next file every 8 MB (as the recorder does). Reports MB/s of input
// and messages recorded per second. Files rolled away from are removed to bound the disk.
//
//   build/bench/bench_record --benchmark_min_time=2

#include "bench/BenchInputs.h"
#include "recorder/files/FileSeriesStream.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>

namespace {

using zeb::recorder::FileSeriesStream;
using zeb::recorder::RecordHeader;
using zeb::stream::IOSTStream;
using zeb::stream::StreamEventCode;

constexpr std::size_t kPortion = 4096;
constexpr std::uint64_t kFileSize = 8u << 20;

struct Recorder
{
    FileSeriesStream series;
    std::uint64_t messages = 0;
    bool failed = false;

    void rollOver()
    {
        const std::string closed = series.fileName();
        series.setFileIndex(series.fileIndex() + 1);
        failed = series.rollOver(series.numberedName(series.fileIndex())) != zeb::stream::StreamStatus::Ok;
        std::filesystem::remove(closed);
    }

    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive)
            return;
        auto* self = static_cast<Recorder*>(context);
        const auto& event = zeb::stream::eventArgument(argument);
        if (self->series.bytesWritten() + event.length() + RecordHeader::kSize >= kFileSize)
            self->rollOver();
        const auto header = RecordHeader::message('A', static_cast<std::uint32_t>(self->messages), 0);
        self->failed
            |= self->series.writeRecord(header, {event.data(), event.length()}) != zeb::stream::StreamStatus::Ok;
        ++self->messages;
    }
};

void BM_RecordMixed(benchmark::State& state)
{
    static const zeb::bench::Bytes input = zeb::bench::mixedStream();
    const auto folder = std::filesystem::temp_directory_path() / ("zeb-bench-record-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        IOSTStream stream(IOSTStream::kAnonymous);
        Recorder recorder;
        recorder.series.setBasePath((folder / "rec").string());
        recorder.series.setBuffering(static_cast<std::size_t>(state.range(0)), std::chrono::milliseconds(50));
        if (recorder.series.openNumbered("wb") != zeb::stream::StreamStatus::Ok) {
            state.SkipWithError("cannot create the record file");
            return;
        }
        stream.subscribeCallback(&Recorder::callback, &recorder);
        for (auto _ : state) {
            for (std::size_t at = 0; at < input.size(); at += kPortion)
                stream.feed(std::span(input).subspan(at, std::min(kPortion, input.size() - at)));
        }
        if (recorder.failed)
            state.SkipWithError("a record could not be written");
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
        state.counters["messages/s"]
            = benchmark::Counter(static_cast<double>(recorder.messages), benchmark::Counter::kIsRate);
    }
    std::filesystem::remove_all(folder);
}

} // namespace

// The argument is the series' buffering: 0 writes every record at once.
BENCHMARK(BM_RecordMixed)->Arg(0)->Arg(65536)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
