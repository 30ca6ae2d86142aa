// Round trip of a synchronous send from a plain thread to a target on another thread: the
// cost every received message pays once per subscribed window. Reports the median and the
// 99th percentile besides Google Benchmark's mean.
//
//   build/bench/bench_send --benchmark_repetitions=1

#include "platform/HeadlessDispatcher.h"
#include "platform/MessageRegistry.h"
#include "platform/MessageTarget.h"
#include "platform/Messaging.h"
#include "platform/qt/QtDispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace {

using namespace zeb::platform;

class Echo : public MessageTarget
{
public:
    LResult onMessage(MessageId, WParam wParam, LParam) override { return static_cast<LResult>(wParam) + 1; }
};

// Runs `Loop` on its own thread with one Echo target.
class EchoThread
{
public:
    explicit EchoThread(bool qt)
    {
        std::promise<Handle> ready;
        auto handle = ready.get_future();
        m_thread = std::thread([&, qt] {
            if (qt) {
                QEventLoop loop;
                QtDispatcher dispatcher;
                Echo echo;
                m_quit = [&loop] {
                    QMetaObject::invokeMethod(
                        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
                };
                ready.set_value(echo.handle());
                loop.exec();
            } else {
                HeadlessDispatcher dispatcher;
                Echo echo;
                m_quit = [&dispatcher] { dispatcher.quit(); };
                ready.set_value(echo.handle());
                dispatcher.run();
            }
        });
        m_target = handle.get();
    }
    ~EchoThread()
    {
        m_quit();
        m_thread.join();
    }
    Handle target() const { return m_target; }

private:
    std::thread m_thread;
    std::function<void()> m_quit;
    Handle m_target = kNoHandle;
};

void reportPercentiles(benchmark::State& state, std::vector<double>& samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p99_us"] = samples[samples.size() * 99 / 100];
}

void crossThreadSend(benchmark::State& state, bool qt)
{
    EchoThread echo(qt);
    const MessageId message = MessageRegistry::registerMessage("BENCH_ECHO");
    std::vector<double> samples;
    samples.reserve(200000);
    WParam value = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        const LResult answer = send(echo.target(), message, value);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(answer);
        ++value;
        samples.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    }
    reportPercentiles(state, samples);
}

void BM_SendHeadless(benchmark::State& state)
{
    crossThreadSend(state, false);
}
void BM_SendQtEventLoop(benchmark::State& state)
{
    crossThreadSend(state, true);
}

void BM_SendSameThread(benchmark::State& state)
{
    HeadlessDispatcher dispatcher;
    Echo echo;
    const MessageId message = MessageRegistry::registerMessage("BENCH_ECHO");
    for (auto _ : state)
        benchmark::DoNotOptimize(send(echo.handle(), message, 1));
}

BENCHMARK(BM_SendHeadless)->UseRealTime();
BENCHMARK(BM_SendQtEventLoop)->UseRealTime();
BENCHMARK(BM_SendSameThread);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
