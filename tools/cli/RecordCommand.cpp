#include "RecordCommand.h"

#include "Transports.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Environment.h"
#include "recorder/engine/Recorder.h"
#include "recorder/settings/UdmFile.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <ctime>

namespace zeb::tools {

namespace {
constexpr int kSlices = 20;
}

RecordCommand::Options& RecordCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("record", "Record the ports of a recorder settings file until interrupted");
    subcommand->add_option("--settings", options.settings, "Recorder settings file (.udm)")->required();
    subcommand->add_option("--for", options.seconds, "Stop after this many seconds");
    return options;
}

int RecordCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    // Blocked before any transport starts a thread, so that every thread inherits the mask and the signals wait
    // for sigtimedwait between two status lines.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    auto settings = recorder::RecorderSettings::defaults(platform::Environment::home());
    if (const std::string error = recorder::UdmFile::load(options.settings, settings); !error.empty()) {
        std::fprintf(err, "record: %s\n", error.c_str());
        return 2;
    }
    registerTransports();
    codecs::registerMessageCodecs();

    recorder::Recorder engine(settings);
    // Without a display nobody can mend the output: a failure ends the recording.
    bool failed = false;
    engine.setFailureHandler([&](const std::string& text) {
        std::fprintf(err, "record: %s\n", text.c_str());
        failed = true;
    });
    if (const auto refused = engine.start(std::time(nullptr))) {
        std::fprintf(err, "record: %s\n", refused->c_str());
        return 2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
    bool interrupted = false;
    while (!interrupted && !failed && engine.state() != recorder::Recorder::State::Idle) {
        std::fprintf(out, "%s\n", engine.statusLine().c_str());
        std::fflush(out);
        if (options.seconds > 0 && std::chrono::steady_clock::now() >= deadline)
            break;
        // A second in slices: a connection made in the background is taken on within a slice.
        for (int slice = 0; slice < kSlices && !interrupted; ++slice) {
            const timespec wait{0, 1'000'000'000 / kSlices};
            interrupted = sigtimedwait(&signals, nullptr, &wait) > 0;
            engine.servicePorts();
        }
        engine.tick(std::time(nullptr));
    }
    engine.stop();
    std::fprintf(out, "%s\n", engine.statusLine().c_str());
    return failed ? 3 : 0;
}

} // namespace zeb::tools
