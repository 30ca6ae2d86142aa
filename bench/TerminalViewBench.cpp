// Messages shown per second by a terminal window: sentences fed into its stream are framed,
// rendered in their category's colour and mode and added to the screen view, whose window
// repaints while the flood goes on (the event loop runs every 200 messages).
#include "BenchInputs.h"
#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/qt/QtDispatcher.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEDocument.h"
#include "terminal/document/CIHTEView.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace zeb;

struct Window
{
    QMainWindow frame;
    QMdiArea* area = new QMdiArea;
    stream::IOSTStream connection{65};
    terminal::CIHTEDocument* document = nullptr;
    std::string emptyFile = (std::filesystem::temp_directory_path() / "zeb500-bench-empty").string();

    Window()
    {
        std::fclose(std::fopen(emptyFile.c_str(), "wb"));
        connection.open(emptyFile, "rb"); // an open stream keeps the view active
        frame.setCentralWidget(area);
        frame.resize(1000, 700);
        frame.show();
        codecs::registerMessageCodecs();
        terminal::registerTerminalDocumentType();
        auto& manager = framework::DocumentManager::instance();
        manager.setArea(area);
        const auto* factories = framework::DocumentTypeCatalog::factories("IHTE");
        manager.addTemplate(std::make_unique<framework::CIHCOTemplate>("IHTE", QStringLiteral("Terminal"),
                                                                       factories->document, factories->frame));
        document = static_cast<terminal::CIHTEDocument*>(manager.createDocument("IHTE"));
        document->finishLoading();
        document->frame()->resize(900, 600);
        QCoreApplication::processEvents();
    }
    ~Window()
    {
        framework::DocumentManager::instance().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        framework::DocumentManager::instance().clearTemplates();
        std::filesystem::remove(emptyFile);
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

void BM_TerminalShowsSentences(benchmark::State& state)
{
    Window window;
    const auto lines = sentences();
    std::size_t shown = 0;
    for (auto _ : state) {
        for (const auto& line : lines) {
            window.connection.feed(std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
            if (++shown % 200 == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(shown));
    state.counters["lines_on_screen"] = window.document->view()->text().lines().lineCount();
}
BENCHMARK(BM_TerminalShowsSentences)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    platform::QtDispatcher dispatcher;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
