// Recording throughput: a mixed receiver stream is fed through a stream in 4096-byte
// portions into a file series that rolls over to the next file every 8 MB. BM_RecordMixed
// writes every message from a plain subscriber; BM_RecorderEngine runs the recording engine
// itself on the stream as the document's port (filter, track, records built in memory and
// written in blocks), and counts the allocations made per message recorded. Reports MB/s of
// input and messages recorded per second. Files rolled away from are removed to bound the disk.
//
//   build/bench/bench_record --benchmark_min_time=2

#include "bench/BenchInputs.h"
#include "recorder/engine/Recorder.h"
#include "recorder/files/FileSeriesStream.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <span>
#include <string>
#include <unistd.h>

// Every allocation of the process is counted, so that the engine's can be reported per message. The replacement
// pairs malloc with free, which the compiler cannot see across the replaced operators.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<std::uint64_t> g_allocations{0};
}

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

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

// Removes the files of the series before `index`, so that the disk holds two at most.
void removeBefore(const std::filesystem::path& folder, unsigned index)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().stem().string();
        const auto dash = name.rfind('-');
        if (dash != std::string::npos && std::strtoul(name.c_str() + dash + 1, nullptr, 10) < index)
            std::filesystem::remove(entry.path());
    }
}

void BM_RecorderEngine(benchmark::State& state)
{
    static const zeb::bench::Bytes input = zeb::bench::mixedStream();
    const auto folder = std::filesystem::temp_directory_path() / ("zeb-bench-engine-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        IOSTStream stream(IOSTStream::kAnonymous);
        auto settings = zeb::recorder::RecorderSettings::defaults(folder.string());
        settings.directory = folder.string();
        settings.format = 1;
        settings.granularity = 8;
        settings.granularityUnit = 1; // 8 MB files
        settings.bindDocumentPort(0); // its one filter: every message as received, to track A
        zeb::recorder::Recorder recorder(settings, &stream);
        bool failed = false;
        recorder.setFailureHandler([&failed](const std::string&) { failed = true; });
        if (recorder.start(std::time(nullptr))) {
            state.SkipWithError("the recorder refused its settings");
            return;
        }
        const std::uint64_t allocationsBefore = g_allocations.load();
        for (auto _ : state) {
            for (std::size_t at = 0; at < input.size(); at += kPortion)
                stream.feed(std::span(input).subspan(at, std::min(kPortion, input.size() - at)));
            state.PauseTiming();
            removeBefore(folder, recorder.fileIndex());
            state.ResumeTiming();
        }
        const double allocations = static_cast<double>(g_allocations.load() - allocationsBefore);
        recorder.tick(std::time(nullptr));
        if (failed || recorder.statusText() == "WRITE FAILED")
            state.SkipWithError("a record could not be written");
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
        const auto messages = static_cast<double>(recorder.messagesMatched());
        state.counters["messages/s"] = benchmark::Counter(messages, benchmark::Counter::kIsRate);
        // Rollovers and the pauses' folder listings allocate; the messages themselves should not.
        state.counters["allocations/message"] = messages > 0 ? allocations / messages : 0.0;
        recorder.stop();
    }
    std::filesystem::remove_all(folder);
}

} // namespace

// The argument is the series' buffering: 0 writes every record at once.
BENCHMARK(BM_RecordMixed)->Arg(0)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecorderEngine)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
