// A terminal window under a flood from its stream's receive thread: sentences are fed on a
// thread of their own, framed there, and reach the view through the synchronous cross-thread
// send, which the UI thread serves from its event loop. Two figures: messages shown per second
// with the feeder running flat out, and how long a key typed into the input line waits to be
// handled while 10,000 sentences a second arrive.
#include "BenchDocumentWindow.h"
#include "BenchInputs.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEView.h"
#include "terminal/widgets/CWICOEditor.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using namespace zeb;
using bench::feedLine;
using bench::serveUntil;

struct Window : bench::BenchDocumentWindow<terminal::CIHTEDocument>
{
    Window()
        : BenchDocumentWindow("IHTE", QStringLiteral("Terminal"), &terminal::registerTerminalDocumentType)
    {
    }
};

// One sentence per line of the NMEA captures, fed one by one.
std::vector<std::string> sentences()
{
    const auto bytes = bench::nmeaStream();
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t byte : bytes) {
        line.push_back(static_cast<char>(byte));
        if (byte == '\n') {
            if (line.size() > 2 && line[0] == '$')
                lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

void BM_TerminalShowsSentencesFromTheReceiveThread(benchmark::State& state)
{
    Window window;
    const auto lines = sentences();
    std::size_t shown = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread receiver([&] {
            for (const auto& line : lines)
                feedLine(window.connection, line);
            done = true;
        });
        serveUntil(done);
        receiver.join();
        shown += lines.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(shown));
    state.counters["lines_on_screen"] = window.document->view()->text().lines().lineCount();
}
BENCHMARK(BM_TerminalShowsSentencesFromTheReceiveThread)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Each iteration types one key into the input line and waits for the line to change, while
// the receive thread feeds 10,000 sentences a second (in batches of ten every millisecond).
void BM_TerminalInputResponseUnderFlood(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    constexpr int kPerMillisecond = 10;
    Window window;
    const auto lines = sentences();
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> fed{0};
    std::thread receiver([&] {
        auto next = Clock::now();
        for (std::size_t at = 0; !stop.load();) {
            for (int i = 0; i < kPerMillisecond; ++i, at = (at + 1) % lines.size())
                feedLine(window.connection, lines[at]);
            fed += kPerMillisecond;
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
    });
    QLineEdit* input = window.document->view()->inputLine();
    input->setFocus();
    bool changed = false;
    QObject::connect(input, &QLineEdit::textChanged, input, [&] { changed = true; });
    double totalMs = 0;
    double worstMs = 0;
    const auto started = Clock::now();
    for (auto _ : state) {
        changed = false;
        const auto typed = Clock::now();
        QCoreApplication::postEvent(input,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
        while (!changed)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - typed).count();
        totalMs += ms;
        worstMs = std::max(worstMs, ms);
        state.SetIterationTime(ms / 1000.0);
        if (input->text().size() > 60)
            input->clear();
        // Let the flood run on between keys, as between a user's key strokes.
        const auto pause = Clock::now() + std::chrono::milliseconds(5);
        while (Clock::now() < pause)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    bench::stopFeeder(stop, receiver);
    state.counters["response_ms_mean"] = totalMs / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
    state.counters["response_ms_worst"] = worstMs;
    state.counters["sentences_per_s"] = static_cast<double>(fed.load()) / seconds;
}
BENCHMARK(BM_TerminalInputResponseUnderFlood)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(300);

} // namespace

int main(int argc, char** argv)
{
    return zeb::bench::runWindowBenchmarks(argc, argv);
}
