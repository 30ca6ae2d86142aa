// Decode plus render throughput of each receiver message codec, as the terminal's Decoded mode runs it for every
// message that arrives: one decode of the frame and one text render. Reports messages per second.
//
//   build/bench/bench_codecs
//
// The frames are typical of each member: full data words for 'U', 'S', 'E' and 'A', eight satellites with their second
// part for 'R', the largest UHF 'C' and 'P' frames (10 records), 12 LRK records, a 200-byte UHF message, full GNSS2
// frames (12 blocks, 12 channels).

#include "messages/Checksum.h"
#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/EphemerisCodec.h"
#include "messages/codecs/Gnss2EventCodec.h"
#include "messages/codecs/HealthCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/MeasurementCodec.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "messages/codecs/UhfLrkCodec.h"
#include "messages/codecs/UhfMessageCodec.h"
#include "messages/codecs/UhfPhaseCodec.h"
#include "testsupport/CodecTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using namespace zeb::codecs;
using Frame = std::vector<std::uint8_t>;
// Frames are built as the codec tests build them.
using test::sbinFrame;
using test::uhfFrame;

Frame pattern(std::size_t size, std::uint8_t seed)
{
    Frame bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 37);
    }
    return bytes;
}

void put32(Frame& frame, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

Frame uhfHead(char letter, bool wide)
{
    Frame head{0x02, static_cast<std::uint8_t>(letter), 0x12, 0};
    if (wide) {
        head.push_back(0);
    }
    head.insert(head.end(), {0x45, 0x01, 0x23, 0x45});
    return head;
}

void run(benchmark::State& state, MessageCodec& codec, const Frame& frame)
{
    auto out = std::make_unique<OutputBuffer>();
    if (codec.decode(frame) != codec_status::Ok || codec.renderText(*out) != codec_status::Ok) {
        state.SkipWithError("the frame does not decode");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(codec.decode(frame));
        benchmark::DoNotOptimize(codec.renderText(*out));
    }
    state.counters["messages/s"]
        = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void IonoUtc(benchmark::State& state)
{
    IonoUtcCodec codec;
    run(state, codec, sbinFrame('U', pattern(24, 1)));
}

void Health(benchmark::State& state)
{
    HealthCodec codec;
    run(state, codec, sbinFrame('S', pattern(48, 2)));
}

void Ephemeris(benchmark::State& state)
{
    EphemerisCodec codec;
    Frame body{12};
    const Frame words = pattern(72, 3);
    body.insert(body.end(), words.begin(), words.end());
    run(state, codec, sbinFrame('E', body));
}

void Almanac(benchmark::State& state)
{
    AlmanacCodec codec;
    Frame body{12, 0x09, 0x29};
    const Frame words = pattern(24, 4);
    body.insert(body.end(), words.begin(), words.end());
    run(state, codec, sbinFrame('A', body));
}

void MeasureSatellite(benchmark::State& state)
{
    MeasurementCodec codec;
    Frame body{0x08, 0xFC, 0x34, 0xBC, 0x00, 0x89};
    for (std::uint8_t sv = 1; sv <= 8; ++sv) {
        const Frame block{sv,   sv, 1, 2,    3, 4,    0x9F, 0, 1, 0,    0,    2,    0,    0x11,
                          0x22, 5,  0, 0x10, 0, 0x20, 0,    2, 0, 0xFF, 0xFF, 0xFE, 0x33, 0x44};
        body.insert(body.end(), block.begin(), block.end());
    }
    run(state, codec, sbinFrame('R', body));
}

void UhfCode(benchmark::State& state)
{
    UhfCodeCodec codec;
    codec.setReferenceTime(zeb::messages::GnssTime{2300, 345600.0});
    Frame head = uhfHead('C', false);
    for (std::uint8_t sv = 1; sv <= 10; ++sv) {
        head.insert(head.end(), {sv, 0, 1, sv});
    }
    run(state, codec, uhfFrame(head, false));
}

void UhfPhase(benchmark::State& state)
{
    UhfPhaseCodec codec;
    codec.setReferenceTime(zeb::messages::GnssTime{2300, 345600.0});
    Frame head = uhfHead('P', false);
    put32(head, 420123456);
    put32(head, -12345);
    put32(head, 500000000);
    for (std::uint8_t sv = 1; sv <= 10; ++sv) {
        head.push_back(sv);
        put32(head, -1234 * sv);
        head.push_back(0x85);
    }
    run(state, codec, uhfFrame(head, false));
}

void UhfLrk(benchmark::State& state)
{
    UhfLrkCodec codec;
    codec.setReferenceTime(zeb::messages::GnssTime{2300, 345600.0});
    Frame head = uhfHead('T', true);
    put32(head, 420123456);
    put32(head, -12345);
    put32(head, 500000000);
    head.push_back(0);
    for (std::uint8_t sv = 1; sv <= 12; ++sv) {
        head.push_back(sv);
        put32(head, 100 * sv);
        put32(head, -200 * sv);
        put32(head, 300 * sv);
        head.insert(head.end(), {7, 9, 0xAB, 0xCD});
    }
    run(state, codec, uhfFrame(head, true));
}

void UhfMessage(benchmark::State& state)
{
    UhfMessageCodec codec;
    Frame head{0x02, 'X', 0x07, 0, 0};
    for (int i = 0; i < 200; ++i) {
        head.push_back(static_cast<std::uint8_t>(i % 10 == 9 ? 0x0A : 'a' + i % 26));
    }
    run(state, codec, uhfFrame(head, true, false));
}

Frame gnss2Data(std::uint8_t letter, std::size_t blockSize)
{
    Frame body{1, 2, 3, 4, 5, 0xA4, 12};
    const Frame blocks = pattern(12 * blockSize, 5);
    body.insert(body.end(), blocks.begin(), blocks.end());
    return sbinFrame(letter, body);
}

void renderRecord(benchmark::State& state, zeb::messages::MessageType type, const Frame& frame)
{
    Gnss2EventCodec codec;
    auto out = std::make_unique<OutputBuffer>();
    if (codec.renderRecord(type, frame, *out) != codec_status::Ok) {
        state.SkipWithError("the frame does not decode");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(codec.renderRecord(type, frame, *out));
    }
    state.counters["messages/s"]
        = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Gnss2BData(benchmark::State& state)
{
    renderRecord(state, zeb::messages::message_type::Gnss2BData, gnss2Data(0xE0, 33));
}

void Gnss2EData(benchmark::State& state)
{
    renderRecord(state, zeb::messages::message_type::Gnss2EData, gnss2Data(0xE1, 33));
}

void Gnss2EDataBc(benchmark::State& state)
{
    renderRecord(state, zeb::messages::message_type::Gnss2EDataBc, gnss2Data(0xE3, 65));
}

void Gnss2Measure(benchmark::State& state)
{
    Frame body{1, 2, 3, 4, 5, 1, 2};
    for (std::uint8_t channel = 1; channel <= 12; ++channel) {
        Frame block = pattern(15, channel);
        block[0] = static_cast<std::uint8_t>(channel << 4 | 0x05);
        body.insert(body.end(), block.begin(), block.end());
    }
    renderRecord(state, zeb::messages::message_type::Gnss2Measure, sbinFrame(0xE4, body));
}

} // namespace

BENCHMARK(IonoUtc);
BENCHMARK(Health);
BENCHMARK(Ephemeris);
BENCHMARK(Almanac);
BENCHMARK(MeasureSatellite);
BENCHMARK(UhfCode);
BENCHMARK(UhfPhase);
BENCHMARK(UhfLrk);
BENCHMARK(UhfMessage);
BENCHMARK(Gnss2BData);
BENCHMARK(Gnss2EData);
BENCHMARK(Gnss2EDataBc);
BENCHMARK(Gnss2Measure);
BENCHMARK_MAIN();
