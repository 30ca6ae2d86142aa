// The trace viewer under a flood from its stream's receive thread: trace sentences are fed on a thread of their own,
// framed there, and reach the view through the synchronous cross-thread send. Two figures: rows shown per second with
// the feeder running flat out, and, at 5,000 sentences a second for a while, how long the window takes to handle an
// event and how much its memory grows once the list is full (it should not).
#include "BenchDocumentWindow.h"
#include "messages/MessageKind.h"
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "trace/document/CIHDBDocument.h"
#include "trace/document/CIHDBView.h"
#include "trace/document/TraceListModel.h"

#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

using namespace zeb;
using bench::feedLine;
using bench::serveUntil;
using Clock = std::chrono::steady_clock;

struct Window : bench::BenchDocumentWindow<trace::CIHDBDocument>
{
    Window()
        : BenchDocumentWindow("IHDB", QStringLiteral("Remote trace viewer"), [] {
            platform::Settings::install(std::make_shared<platform::MemorySettings>());
            trace::registerTraceDocumentType();
        })
    {
    }
};

std::string traceLine(std::uint64_t n)
{
    char line[160];
    std::snprintf(line, sizeof line, "$PKVR,DEBUG,TRACE,OUTPUT,%u,NAV,nav.c,%u,epoch %llu, residual %u m, rejected\r\n",
                  static_cast<unsigned>(n % 7), static_cast<unsigned>(n % 900), static_cast<unsigned long long>(n),
                  static_cast<unsigned>(n % 97));
    return line;
}

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

void BM_TraceViewShowsRecordsFromTheReceiveThread(benchmark::State& state)
{
    Window window;
    constexpr std::uint64_t kBatch = 20000;
    std::uint64_t fed = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread receiver([&] {
            for (std::uint64_t i = 0; i < kBatch; ++i)
                feedLine(window.connection, traceLine(fed + i));
            done = true;
        });
        serveUntil(done);
        receiver.join();
        window.document->view()->refresh();
        fed += kBatch;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(fed));
    state.counters["rows_in_list"] = window.document->view()->listModel().rowCount();
}
BENCHMARK(BM_TraceViewShowsRecordsFromTheReceiveThread)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The window's own share: records handed to the view on its thread, as the stream's send does, without the
// cross-thread hand-over; the list is refreshed every 250 records, as at 5,000 a second.
void BM_TraceViewTakesRecordsOnItsThread(benchmark::State& state)
{
    Window window;
    trace::CIHDBView* view = window.document->view();
    std::vector<std::string> lines;
    for (std::uint64_t n = 0; n < 1000; ++n)
        lines.push_back(traceLine(n));
    const auto receive = stream::StreamRegistry::messages().receive;
    stream::StreamEvent event;
    event.kind = messages::MessageKind::Telecommand;
    std::uint64_t taken = 0;
    for (auto _ : state) {
        const std::string& line = lines[taken % lines.size()];
        event.setData(reinterpret_cast<const std::uint8_t*>(line.data()), static_cast<std::uint32_t>(line.size()));
        view->onMessage(receive, 0, reinterpret_cast<platform::LParam>(&event));
        if (++taken % 250 == 0) {
            view->refresh();
            QCoreApplication::processEvents();
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(taken));
}
BENCHMARK(BM_TraceViewTakesRecordsOnItsThread)->MinTime(2.0);

// 5,000 sentences a second (five every millisecond) for ten seconds; each iteration posts one event to the window and
// waits for it to run.
void BM_TraceViewUnderFlood(benchmark::State& state)
{
    constexpr int kPerMillisecond = 5;
    Window window;
    trace::CIHDBView* view = window.document->view();
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> fed{0};
    std::thread receiver([&] {
        auto next = Clock::now();
        for (std::uint64_t n = 0; !stop.load();) {
            for (int i = 0; i < kPerMillisecond; ++i)
                feedLine(window.connection, traceLine(n++));
            fed += kPerMillisecond;
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
    });
    // The list fills within the first second; memory is measured from then on.
    const auto warm = Clock::now() + std::chrono::seconds(1);
    while (Clock::now() < warm)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const long rssStart = residentKb();
    const std::uint64_t shownStart = view->records().appended();
    double worstMs = 0;
    double totalMs = 0;
    const auto started = Clock::now();
    for (auto _ : state) {
        bool ran = false;
        const auto posted = Clock::now();
        QTimer::singleShot(0, view, [&] { ran = true; });
        while (!ran)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - posted).count();
        state.SetIterationTime(ms / 1000.0);
        totalMs += ms;
        worstMs = std::max(worstMs, ms);
        const auto pause = Clock::now() + std::chrono::milliseconds(5);
        while (Clock::now() < pause)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const std::uint64_t shown = view->records().appended() - shownStart;
    const long rssEnd = residentKb();
    bench::stopFeeder(stop, receiver);
    state.counters["rows_shown_per_s"] = static_cast<double>(shown) / seconds;
    state.counters["sentences_per_s"] = static_cast<double>(fed.load()) / (seconds + 1.0);
    state.counters["rows_in_list"] = view->listModel().rowCount();
    state.counters["response_ms_mean"] = totalMs / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
    state.counters["response_ms_worst"] = worstMs;
    state.counters["rss_growth_kb"] = static_cast<double>(rssEnd - rssStart);
}
BENCHMARK(BM_TraceViewUnderFlood)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1500);

} // namespace

int main(int argc, char** argv)
{
    return zeb::bench::runWindowBenchmarks(argc, argv);
}
