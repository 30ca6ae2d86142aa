// Receive throughput of a stream: Feed in 4096-byte portions, as a transport hands them over,
// with one callback subscriber that touches every message. Reports MB/s of input.
//
//   build/bench/bench_stream_feed
//
// Inputs: the NMEA captures; a mixed stream (sentences, escaped binary frames, SVar and UHF
// frames, RTCM2 bytes and noise); the RTCM2 captures alone. Each is repeated to about 1 MB.

#include "bench/BenchInputs.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace {

using zeb::stream::IOSTStream;
using zeb::stream::StreamEventCode;
using namespace zeb::bench;

constexpr std::size_t kPortion = 4096;

struct Counter
{
    std::uint64_t messages = 0;
    std::uint64_t bytes = 0;
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive)
            return;
        auto* self = static_cast<Counter*>(context);
        ++self->messages;
        self->bytes += zeb::stream::eventArgument(argument).length();
    }
};

void feedAll(benchmark::State& state, const Bytes& input)
{
    IOSTStream stream(IOSTStream::kAnonymous);
    Counter counter;
    stream.subscribeCallback(&Counter::callback, &counter);
    for (auto _ : state) {
        for (std::size_t at = 0; at < input.size(); at += kPortion)
            stream.feed(std::span(input).subspan(at, std::min(kPortion, input.size() - at)));
        benchmark::DoNotOptimize(counter.bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["messages/s"]
        = benchmark::Counter(static_cast<double>(counter.messages), benchmark::Counter::kIsRate);
}

void BM_FeedNmea(benchmark::State& state)
{
    static const Bytes input = nmeaStream();
    feedAll(state, input);
}

void BM_FeedMixed(benchmark::State& state)
{
    static const Bytes input = mixedStream();
    feedAll(state, input);
}

void BM_FeedRtcm2(benchmark::State& state)
{
    static const Bytes input = rtcmStream();
    feedAll(state, input);
}

BENCHMARK(BM_FeedNmea);
BENCHMARK(BM_FeedMixed);
BENCHMARK(BM_FeedRtcm2);

} // namespace

BENCHMARK_MAIN();
