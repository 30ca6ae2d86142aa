// Framing throughput: the receive loop's work per byte, fed in 4096-byte reads as a serial or
// socket transport delivers them. Reports MB/s of input and messages per second.
//
//   build/bench/bench_framer
//
// Inputs: the NMEA captures; a mixed stream (sentences, escaped binary frames, SVar and UHF
// frames, RTCM2 bytes from the captures and noise); the RTCM2 captures alone. Each is repeated
// to about 1 MB so that start-up effects vanish.

#include "bench/BenchInputs.h"
#include "messages/MessageFramer.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using zeb::messages::FrameResult;
using zeb::messages::MessageFramer;
using zeb::messages::ReadStatus;
using namespace zeb::bench;

constexpr std::size_t kRead = 4096;

void frameStream(benchmark::State& state, const Bytes& input)
{
    auto framer = std::make_unique<MessageFramer>();
    std::int64_t messages = 0;
    for (auto _ : state) {
        std::size_t offset = 0;
        while (offset < input.size()) {
            const auto space = framer->freeSpace();
            const std::size_t count = std::min({kRead, space.size(), input.size() - offset});
            std::memcpy(space.data(), input.data() + offset, count);
            framer->commit(count);
            offset += count;
            for (;;) {
                const FrameResult result = framer->step();
                if (result.status != ReadStatus::Complete && result.status != ReadStatus::Discarded) {
                    break;
                }
                ++messages;
                benchmark::DoNotOptimize(result.data);
            }
        }
        benchmark::DoNotOptimize(framer->step(true).length);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
    state.counters["messages/s"] = benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kIsRate);
}

void BM_FrameNmeaCaptures(benchmark::State& state)
{
    static const Bytes input = nmeaStream();
    frameStream(state, input);
}

void BM_FrameMixedStream(benchmark::State& state)
{
    static const Bytes input = mixedStream();
    frameStream(state, input);
}

void BM_FrameRtcm2Captures(benchmark::State& state)
{
    static const Bytes input = rtcmStream();
    frameStream(state, input);
}

BENCHMARK(BM_FrameNmeaCaptures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameMixedStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameRtcm2Captures)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
