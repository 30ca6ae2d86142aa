#include "TraceCommand.h"

#include "Connection.h"
#include "JsonText.h"
#include "Transports.h"
#include "messages/MessageKind.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "trace/core/ComponentTable.h"
#include "trace/core/LevelRequest.h"
#include "trace/core/TraceCommands.h"
#include "trace/core/TraceRecord.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zeb::tools {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSlice = std::chrono::milliseconds(50);
// The receiver lists its components at once: once they stop coming for this long, the list is complete.
constexpr auto kQuietAfterComponents = std::chrono::milliseconds(300);

// What the stream's receive thread hands the console: component lines while the list is asked for, then the trace.
class TraceListener
{
public:
    explicit TraceListener(std::FILE* out)
        : m_out(out)
    {
    }

    static void callback(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<TraceListener*>(context);
        if (code == stream::StreamEventCode::Close) {
            // Opening closes first: only a close after the open counts.
            if (self.m_opened.load())
                self.m_closed = true;
            return;
        }
        if (code != stream::StreamEventCode::Receive)
            return;
        const stream::StreamEvent& event = stream::eventArgument(argument);
        if (event.kind == messages::MessageKind::Telecommand)
            self.take(event.text());
    }

    void opened() { m_opened = true; }

    void startPrinting()
    {
        const std::lock_guard lock(m_mutex);
        m_printing = true;
    }

    trace::ComponentTable components() const
    {
        const std::lock_guard lock(m_mutex);
        return m_components;
    }
    Clock::time_point lastComponent() const
    {
        const std::lock_guard lock(m_mutex);
        return m_lastComponent;
    }
    std::size_t printed() const { return m_printed.load(); }
    bool closed() const { return m_closed.load(); }

private:
    void take(std::string_view text)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_printing) {
            if (m_components.apply(text))
                m_lastComponent = Clock::now();
            return;
        }
        if (!trace::parseTraceOutput(text, m_record))
            return;
        nlohmann::ordered_json line;
        line["level"] = m_record.level;
        line["component"] = m_record.component;
        line["file"] = m_record.file;
        line["line"] = m_record.line;
        line["comment"] = m_record.comment;
        std::fprintf(m_out, "%s\n", dump(line).c_str());
        std::fflush(m_out);
        ++m_printed;
    }

    std::FILE* m_out;
    mutable std::mutex m_mutex;
    trace::ComponentTable m_components;
    Clock::time_point m_lastComponent{};
    trace::TraceRecord m_record;
    bool m_printing = false;
    std::atomic<std::size_t> m_printed{0};
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_closed{false};
};

class SignalFd
{
public:
    SignalFd()
    {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        // The stream's threads inherit the mask: the signals are taken only through the descriptor.
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        m_fd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    }
    ~SignalFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SignalFd(const SignalFd&) = delete;
    SignalFd& operator=(const SignalFd&) = delete;

    bool valid() const { return m_fd >= 0; }
    // Waits up to `wait` for SIGINT or SIGTERM.
    bool arrived(std::chrono::milliseconds wait) const
    {
        pollfd entry{m_fd, POLLIN, 0};
        return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0;
    }

private:
    int m_fd = -1;
};

void send(stream::IOSTStream& link, std::string_view line)
{
    link.write(line, trace::kWriteRetries, trace::kWriteRetryDelayMs);
}

} // namespace

TraceCommand::Options& TraceCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("trace", "Switch a receiver's debug trace and print it as JSON lines");
    subcommand->add_option("address", options.address, "Stream address, e.g. /dev/client/localhost/4001")->required();
    subcommand->add_option("--on", options.on, "COMPONENT:LEVELS, e.g. NAV:1,2,6: exactly these levels (1-6) on")
        ->allow_extra_args(false);
    subcommand->add_option("--count", options.count, "Stop after this many trace records (0: no limit)");
    subcommand->add_option("--seconds", options.seconds, "Stop after this many seconds (0: no limit)")
        ->check(CLI::NonNegativeNumber);
    subcommand->add_option("--answer-seconds", options.answerSeconds, "How long to wait for the component list")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    return options;
}

int TraceCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    std::vector<trace::ComponentSwitches> requests;
    for (const std::string& text : options.on) {
        const auto request = trace::parseLevelRequest(text);
        if (!request) {
            std::fprintf(err,
                         "trace: cannot read --on %s: expected COMPONENT:LEVELS with levels 1 to 6, e.g. NAV:1,2,6\n",
                         text.c_str());
            return 2;
        }
        requests.push_back(*request);
    }
    const SignalFd signals;
    if (!signals.valid()) {
        std::fprintf(err, "trace: cannot set up the console: %s\n", std::strerror(errno));
        return 2;
    }
    if (!checkConnectionAddress(options.address, "trace", err))
        return 2;
    registerTransports();
    TraceListener listener(out);
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    link.subscribeCallback(&TraceListener::callback, &listener);
    // Whatever way run() ends, the stream stops and forgets the listener before the listener goes.
    const std::unique_ptr<stream::IOSTStream, void (*)(stream::IOSTStream*)> closer(&link, [](stream::IOSTStream* s) {
        s->close();
        s->setAllStates(stream::SubscriberState::Disabled);
    });
    if (!openConnection(link, options.address, "trace", err))
        return 2;
    listener.opened();

    const auto start = Clock::now();
    send(link, trace::kViewRequest);
    const auto answerDeadline
        = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.answerSeconds));
    while (Clock::now() < answerDeadline && !listener.closed()) {
        if (signals.arrived(kSlice))
            return 0;
        const auto last = listener.lastComponent();
        if (last != Clock::time_point{} && Clock::now() - last >= kQuietAfterComponents)
            break;
    }

    trace::ComponentTable table = listener.components();
    for (const auto& request : requests) {
        if (!table.find(request.name))
            std::fprintf(err, "trace: the receiver did not list %s; its levels are sent all the same\n",
                         request.name.c_str());
        table.set(request);
    }
    listener.startPrinting();
    for (const std::string& line : table.commitLines(true))
        send(link, line);

    const auto deadline
        = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds));
    while (options.count == 0 || listener.printed() < options.count) {
        if (listener.closed()) {
            std::fprintf(err, "trace: the far side closed %s\n", options.address.c_str());
            return 1;
        }
        if (options.seconds > 0 && Clock::now() >= deadline)
            break;
        if (signals.arrived(kSlice))
            break;
    }
    return 0;
}

} // namespace zeb::tools
