// Receive throughput of a serial stream: a pseudo-terminal's far side writes NMEA sentences as
// fast as the line takes them; the stream's receive thread reads, frames and hands each message
// to one callback subscriber. Reports MB/s of line input.
//
//   build/bench/bench_serial
//
// The input is about 1 MB of checksummed sentences of typical lengths.

#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/serial/SerialTransport.h"
#include "text/Format.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using zeb::stream::IOSTStream;
using zeb::stream::StreamEventCode;

struct Counter
{
    std::atomic<std::uint64_t> messages{0};
    std::atomic<std::uint64_t> bytes{0};
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive)
            return;
        auto* self = static_cast<Counter*>(context);
        self->messages.fetch_add(1, std::memory_order_relaxed);
        self->bytes.fetch_add(zeb::stream::eventArgument(argument).length(), std::memory_order_relaxed);
    }
};

std::string sentence(const std::string& body)
{
    std::uint8_t sum = 0;
    for (const char c : body)
        sum ^= static_cast<std::uint8_t>(c);
    return "$" + body + zeb::text::format("*%02X\r\n", sum);
}

std::string nmeaInput()
{
    std::string input;
    for (unsigned i = 0; input.size() < (1u << 20); ++i) {
        input += sentence(zeb::text::format("GPGGA,%06u,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", i % 240000));
        input += sentence(
            zeb::text::format("GPGSV,3,%u,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45", i % 3 + 1));
        input += sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    }
    return input;
}

void BM_SerialReceiveNmea(benchmark::State& state)
{
    static const std::string input = nmeaInput();
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    auto settings = std::make_shared<zeb::platform::MemorySettings>();
    settings->writeText("SerialPorts", "COM5", name);
    zeb::platform::Settings::install(settings);
    zeb::stream::serial::registerSerialTransport();

    Counter counter;
    {
        IOSTStream stream(IOSTStream::kAnonymous);
        stream.subscribeCallback(&Counter::callback, &counter);
        if (stream.open("/dev/serial/com5,4000000,8,1.0,N", "") != zeb::stream::StreamStatus::Ok) {
            state.SkipWithError("the serial stream did not open");
        } else {
            for (auto _ : state) {
                const std::uint64_t target = stream.totalReceived() + input.size();
                std::thread writer([&] {
                    std::size_t done = 0;
                    while (done < input.size()) {
                        const ssize_t n = ::write(master, input.data() + done, input.size() - done);
                        if (n > 0)
                            done += static_cast<std::size_t>(n);
                    }
                });
                while (stream.totalReceived() < target)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                writer.join();
            }
            state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
            state.counters["messages/s"]
                = benchmark::Counter(static_cast<double>(counter.messages.load()), benchmark::Counter::kIsRate);
        }
    }
    ::close(slave);
    ::close(master);
}

BENCHMARK(BM_SerialReceiveNmea)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
