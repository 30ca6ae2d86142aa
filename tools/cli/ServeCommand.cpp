#include "ServeCommand.h"

#include "Connection.h"
#include "Transports.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/rpc/RemoteRequests.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <ctime>
#include <memory>
#include <pthread.h>

namespace zeb::tools {

namespace {

std::atomic<std::FILE*> g_log{nullptr};

void logLine(const char* format, const std::string& first, const std::string& second = {})
{
    std::FILE* out = g_log.load();
    if (!out)
        return;
    std::fprintf(out, format, first.c_str(), second.c_str());
    std::fputc('\n', out);
    std::fflush(out);
}

bool logRequest(stream::IOSTStream& stream, std::uint32_t code, std::string_view path)
{
    std::FILE* out = g_log.load();
    if (!out)
        return true;
    // The path comes from the peer: printed raw, it could drive the terminal.
    std::fprintf(out, "request %u%s%s from %s\n", code, path.empty() ? "" : " ", escaped(path).c_str(),
                 stream.address().c_str());
    std::fflush(out);
    return true;
}

void logEvent(void*, stream::IOSTStream* stream, stream::StreamEventCode code, std::intptr_t argument)
{
    using stream::StreamEventCode;
    const auto* peer = reinterpret_cast<const stream::IOSTStream*>(argument);
    switch (code) {
    case StreamEventCode::Connect:
        logLine("connected %s%s", peer ? peer->address() : std::string("?"));
        break;
    case StreamEventCode::Disconnect:
        logLine("disconnected %s%s", peer ? peer->address() : std::string("?"));
        break;
    case StreamEventCode::Close:
        logLine("closed %s%s", stream ? stream->address() : std::string());
        break;
    default:
        break;
    }
}

} // namespace

ServeCommand::Options& ServeCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("serve", "Answer pings and remote file requests on a stream until interrupted");
    subcommand->add_option("address", options.address, "Stream address, e.g. /dev/server/localhost/5000")->required();
    subcommand->add_option("--root", options.root, "Folder the peer may reach (default: the remoteRoot setting)");
    return options;
}

int ServeCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    // Blocked before any transport starts a thread, so that every thread inherits the mask and
    // the signals wait here for sigwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    if (!checkConnectionAddress(options.address, "serve", err))
        return 2;
    const std::string root = options.root.empty() ? stream::rpc::RemoteRequests::configuredRoot() : options.root;
    if (root.empty()) {
        std::fprintf(err, "serve: no folder to serve: give --root, or set HOME, XDG_DATA_HOME or ZEB500_HOME\n");
        return 2;
    }
    if (const std::string refusal = stream::rpc::installRemoteRequests(root); !refusal.empty()) {
        std::fprintf(err, "serve: %s\n", refusal.c_str());
        return 2;
    }
    registerTransports();
    g_log = out;
    stream::rpc::RemoteRequests::setObserver(&logRequest);

    stream::IOSTStream served(65);
    served.subscribeCallback(&logEvent, nullptr);
    if (!openConnection(served, options.address, "serve", err)) {
        g_log = nullptr;
        return 2;
    }
    logLine("serving %s from %s", served.address(), root);

    int received = 0;
    sigwait(&signals, &received);
    logLine("stopping on %s%s", received == SIGINT ? std::string("SIGINT") : std::string("SIGTERM"));
    served.close();
    stream::rpc::RemoteRequests::setObserver(nullptr);
    g_log = nullptr;
    return 0;
}

} // namespace zeb::tools
