#include "PingCommand.h"

#include "Connection.h"
#include "Transports.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zeb::tools {

namespace {

constexpr std::string_view kAnswerPrefix = "$PKVR,RPC,PING,";

struct Answer
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::string text;

    static void callback(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        if (code != stream::StreamEventCode::Receive)
            return;
        const std::string_view text = stream::eventArgument(argument).text();
        if (text.substr(0, kAnswerPrefix.size()) != kAnswerPrefix)
            return;
        auto& self = *static_cast<Answer*>(context);
        {
            const std::lock_guard lock(self.mutex);
            if (self.text.empty())
                self.text.assign(text.substr(0, text.find_first_of("\r\n")));
        }
        self.arrived.notify_all();
    }
};

} // namespace

PingCommand::Options& PingCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("ping", "Send a ping on a stream and print the answer");
    subcommand->add_option("address", options.address, "Stream address, e.g. /dev/client/localhost/5000")->required();
    subcommand->add_option("--timeout", options.timeoutSeconds, "Seconds to wait for the answer")
        ->check(CLI::Range(0.0, 3600.0));
    return options;
}

int PingCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    registerTransports();
    Answer answer;
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    link.subscribeCallback(&Answer::callback, &answer);
    if (!openConnection(link, options.address, "ping", err))
        return 2;
    const auto start = std::chrono::steady_clock::now();
    link.write(stream::IOSTStream::kPingRequest, 10);
    const auto limit = std::chrono::duration<double>(options.timeoutSeconds);
    std::unique_lock lock(answer.mutex);
    const bool answered = answer.arrived.wait_for(lock, limit, [&] { return !answer.text.empty(); });
    const std::string text = answer.text;
    lock.unlock();
    link.close();
    if (!answered) {
        std::fprintf(err, "ping: no answer from %s within %g s\n", options.address.c_str(), options.timeoutSeconds);
        return 1;
    }
    const auto elapsed
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::fprintf(out, "%s (%.3f ms)\n", text.c_str(), static_cast<double>(elapsed.count()) / 1000.0);
    return 0;
}

} // namespace zeb::tools
