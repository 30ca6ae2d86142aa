// Receive throughput of a TCP client stream: a plain socket on the far side of a loopback
// connection writes NMEA sentences as fast as it can; the client stream's receive thread
// frames them and hands each to one callback subscriber. Reports MB/s of sentences delivered.
//
//   build/bench/bench_socket

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/socket/SocketTransports.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using zeb::stream::IOSTStream;
using zeb::stream::StreamEventCode;

constexpr std::size_t kBytesPerRound = 16 * 1024 * 1024;

// About 64 KB of typical receiver output: position, satellites in view, recommended minimum.
std::string sentences()
{
    const char* const bodies[] = {
        "GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
        "GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
    };
    std::string all;
    while (all.size() < 65536) {
        for (const char* body : bodies) {
            unsigned char sum = 0;
            for (const char* p = body; *p; ++p)
                sum ^= static_cast<unsigned char>(*p);
            char tail[8];
            std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
            all += '$';
            all += body;
            all += tail;
        }
    }
    return all;
}

// Counts on the receive thread; wakes the benchmark only once a round is complete.
struct Counter
{
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t bytes = 0; // receive thread only
    std::atomic<std::uint64_t> target{0};
    bool reached = false; // under mutex

    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive)
            return;
        auto* self = static_cast<Counter*>(context);
        self->bytes += zeb::stream::eventArgument(argument).length();
        if (self->bytes < self->target.load(std::memory_order_relaxed))
            return;
        {
            const std::lock_guard lock(self->mutex);
            self->reached = true;
        }
        self->changed.notify_one();
    }
};

class Loopback
{
public:
    Loopback()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof where;
        ::bind(m_listener, reinterpret_cast<const sockaddr*>(&where), sizeof where);
        ::listen(m_listener, 1);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&where), &length);
        m_port = ntohs(where.sin_port);
    }
    ~Loopback()
    {
        if (m_far >= 0)
            ::close(m_far);
        ::close(m_listener);
    }
    std::uint16_t port() const { return m_port; }
    int acceptFar()
    {
        m_far = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_far;
    }

private:
    int m_listener = -1;
    int m_far = -1;
    std::uint16_t m_port = 0;
};

void writeAll(int fd, const std::string& block, std::size_t total)
{
    for (std::size_t sent = 0; sent < total;) {
        const ssize_t took = ::send(fd, block.data(), std::min(block.size(), total - sent), MSG_NOSIGNAL);
        if (took <= 0)
            return;
        sent += static_cast<std::size_t>(took);
    }
}

void BM_ClientStreamReceive(benchmark::State& state)
{
    zeb::stream::socket::registerSocketTransports();
    const std::string block = sentences();
    Loopback loopback;
    Counter counter;
    IOSTStream stream(IOSTStream::kAnonymous);
    stream.subscribeCallback(&Counter::callback, &counter);
    zeb::stream::StreamAddress address;
    address.type = zeb::stream::stream_type::Client;
    address.client.host = "127.0.0.1";
    address.client.port = loopback.port();
    if (stream.open(address) != zeb::stream::StreamStatus::Ok) {
        state.SkipWithError("cannot connect over loopback");
        return;
    }
    const int far = loopback.acceptFar();
    // Whole blocks only, so that every round ends on a sentence boundary.
    const std::size_t perRound = kBytesPerRound / block.size() * block.size();

    std::uint64_t expected = 0;
    for (auto _ : state) {
        expected += perRound;
        {
            const std::lock_guard lock(counter.mutex);
            counter.reached = false;
        }
        counter.target = expected;
        std::thread writer(writeAll, far, std::cref(block), perRound);
        {
            std::unique_lock lock(counter.mutex);
            counter.changed.wait(lock, [&] { return counter.reached; });
        }
        writer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(expected));
    stream.close();
}

BENCHMARK(BM_ClientStreamReceive)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
