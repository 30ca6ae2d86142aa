#include "HeadingCommand.h"

#include "Connection.h"
#include "JsonText.h"
#include "Transports.h"
#include "heading/core/CalibrationSession.h"
#include "heading/core/HeadingDisplay.h"
#include "heading/core/HeadingSentenceReader.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <deque>
#include <mutex>
#include <optional>

namespace zeb::tools {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kSlice = 50ms;
constexpr auto kPollPeriod = 1s;
// Sentences waiting for the console's thread; beyond this the oldest go (the console fell behind).
constexpr std::size_t kMaxWaiting = 1024;

// Hands the received sentences from the stream's thread to the console's, which runs the core
// classes as the window's thread would.
class SentenceQueue
{
public:
    static void onEvent(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<SentenceQueue*>(context);
        if (code == stream::StreamEventCode::Close) {
            self.m_closed = true;
            return;
        }
        if (code != stream::StreamEventCode::Receive)
            return;
        const stream::StreamEvent& event = stream::eventArgument(argument);
        if (event.kind != messages::MessageKind::Telecommand)
            return;
        const std::lock_guard lock(self.m_mutex);
        if (self.m_waiting.size() >= kMaxWaiting)
            self.m_waiting.pop_front();
        self.m_waiting.emplace_back(event.text());
    }

    std::deque<std::string> take()
    {
        const std::lock_guard lock(m_mutex);
        std::deque<std::string> taken;
        taken.swap(m_waiting);
        return taken;
    }
    bool closed() const { return m_closed; }

private:
    std::mutex m_mutex;
    std::deque<std::string> m_waiting;
    std::atomic<bool> m_closed{false};
};

// The calibration panel on the console: sentences go to the stream, everything shown is a JSON line.
class ConsolePanel : public heading::CalibrationHost
{
public:
    ConsolePanel(stream::IOSTStream& link, std::FILE* out)
        : m_link(link)
        , m_out(out)
    {
    }

    void send(std::string_view sentence) override
    {
        m_link.write(sentence, 0, stream::IOSTStream::kDefaultRetryDelayMs, true);
        print({{"sent", sentence}});
    }
    void setPolling(bool on) override { m_polling = on; }
    void fieldChanged(heading::CalibrationField field, const std::string& text) override
    {
        print({{"field", static_cast<int>(field)}, {"text", text}});
    }
    void stateChanged() override
    {
        if (!m_session)
            return;
        const auto& converged = m_session->thresholds().converged;
        nlohmann::ordered_json state{{"running", m_session->running()},
                                     {"mode", m_session->mode()},
                                     {"converged", {converged[0], converged[1], converged[2]}}};
        if (state == m_lastState)
            return;
        m_lastState = state;
        print(state);
    }

    void setSession(const heading::CalibrationSession* session) { m_session = session; }
    bool polling() const { return m_polling; }

private:
    void print(const nlohmann::ordered_json& line)
    {
        std::fprintf(m_out, "%s\n", dump(line).c_str());
        std::fflush(m_out);
    }

    stream::IOSTStream& m_link;
    std::FILE* m_out;
    const heading::CalibrationSession* m_session = nullptr;
    nlohmann::ordered_json m_lastState;
    bool m_polling = false;
};

nlohmann::ordered_json headingLine(const heading::HeadingDisplay& display)
{
    return {{"heading", display.wholeText() + "\xC2\xB0" + display.tenthsText()},
            {"valid", display.valid()},
            {"sd", display.deviationText()},
            {"sv", display.satellitesText()}};
}

} // namespace

HeadingCommand::Options& HeadingCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("heading", "Show a receiver's heading and run its heading calibration");
    subcommand->add_option("address", options.address, "Connection address (TCP client or server, serial port)")
        ->required();
    subcommand->add_option("--calibrate", options.calibrate, "Run the calibration in mode 1 (offset) or 2 (base)")
        ->check(CLI::IsMember({1, 2}));
    subcommand->add_option("--seconds", options.seconds, "Stop after this many seconds");
    return options;
}

int HeadingCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    // Blocked before any transport starts a thread, so that the signals wait for sigtimedwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    registerTransports();

    SentenceQueue queue;
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    if (!openConnection(link, options.address, "heading", err))
        return 2;
    // After the open, which closes first: only a close of this connection counts.
    link.subscribeCallback(&SentenceQueue::onEvent, &queue);

    heading::HeadingSentenceReader reader;
    heading::HeadingDisplay display;
    nlohmann::ordered_json shown;
    heading::Thresholds thresholds = heading::Thresholds::fromSettings(platform::Settings::current());
    ConsolePanel panel(link, out);
    std::optional<heading::CalibrationSession> session;
    if (options.calibrate != 0) {
        session.emplace(panel, thresholds, options.calibrate);
        panel.setSession(&*session);
        session->open();
        session->start();
    }

    const auto start = Clock::now();
    auto nextPoll = start + kPollPeriod;
    bool interrupted = false;
    while (!interrupted && !queue.closed()) {
        if (options.seconds > 0 && Clock::now() - start >= std::chrono::seconds(options.seconds))
            break;
        const timespec wait{0, std::chrono::duration_cast<std::chrono::nanoseconds>(kSlice).count()};
        interrupted = sigtimedwait(&signals, nullptr, &wait) > 0;
        for (const std::string& sentence : queue.take()) {
            display.apply(reader.read(sentence));
            if (session)
                session->receive(sentence);
        }
        if (nlohmann::ordered_json now = headingLine(display); now != shown) {
            shown = std::move(now);
            std::fprintf(out, "%s\n", dump(shown).c_str());
            std::fflush(out);
        }
        if (session && panel.polling() && Clock::now() >= nextPoll) {
            session->poll();
            nextPoll = Clock::now() + kPollPeriod;
        }
    }
    if (session)
        session->stop();
    const bool closed = queue.closed();
    link.close();
    return closed && !interrupted ? 1 : 0;
}

} // namespace zeb::tools
