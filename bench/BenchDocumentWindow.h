// A document window of one type as the shell shows it, for the benchmarks of windows under a flood: a shown main
// window with an MDI area, the application connection (stream 65) open on an empty file so that the window is
// active, and one document of the type. Also feeding lines on a receive thread and serving the UI thread meanwhile.
#pragma once

#include "app/framework/CIHCOTemplate.h"
#include "app/framework/DocumentManager.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/qt/QtDispatcher.h"
#include "stream/IOSTStream.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <thread>

namespace zeb::bench {

template <typename Document>
struct BenchDocumentWindow
{
    QMainWindow frame;
    QMdiArea* area = new QMdiArea;
    stream::IOSTStream connection{65};
    Document* document = nullptr;
    std::string emptyFile;

    BenchDocumentWindow(const char* key, const QString& label, void (*registerType)())
        : emptyFile((std::filesystem::temp_directory_path() / (std::string("zeb500-bench-empty-") + key)).string())
    {
        std::fclose(std::fopen(emptyFile.c_str(), "wb"));
        connection.open(emptyFile, "rb");
        frame.setCentralWidget(area);
        frame.resize(1000, 700);
        frame.show();
        codecs::registerMessageCodecs();
        registerType();
        auto& manager = framework::DocumentManager::instance();
        manager.setArea(area);
        const auto* factories = framework::DocumentTypeCatalog::factories(key);
        manager.addTemplate(
            std::make_unique<framework::CIHCOTemplate>(key, label, factories->document, factories->frame));
        document = static_cast<Document*>(manager.createDocument(key));
        document->finishLoading();
        document->frame()->resize(900, 600);
        QCoreApplication::processEvents();
    }
    ~BenchDocumentWindow()
    {
        framework::DocumentManager::instance().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        framework::DocumentManager::instance().clearTemplates();
        std::filesystem::remove(emptyFile);
    }
    BenchDocumentWindow(const BenchDocumentWindow&) = delete;
    BenchDocumentWindow& operator=(const BenchDocumentWindow&) = delete;
};

inline void feedLine(stream::IOSTStream& connection, const std::string& line)
{
    connection.feed(std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
}

// Serves the UI thread's events until `done` holds.
inline void serveUntil(const std::atomic<bool>& done)
{
    while (!done.load())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

// Stops a feeding thread that watches `stop`, serving the UI thread until it has ended: its last send may be waiting
// for the UI thread.
inline void stopFeeder(std::atomic<bool>& stop, std::thread& feeder)
{
    stop = true;
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        feeder.join();
        done = true;
    });
    serveUntil(done);
    waiter.join();
}

// The main() of a window benchmark: an application offscreen unless told otherwise, with the workbench's dispatcher.
inline int runWindowBenchmarks(int argc, char** argv)
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

} // namespace zeb::bench
