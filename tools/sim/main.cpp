// zeb500-sim: a simulated receiver. Plays captures over TCP or a pseudo-terminal, answers
// queries, pings and remote file requests, and injects the faults of a poor link on request.
// With --frames it mixes generated binary, text and UHF frames into the sentences; with --sink
// it is the other end of a stream output instead, storing what a connection sends in a file.

#include "ByteSink.h"
#include "CapturePlayer.h"
#include "FaultInjector.h"
#include "FrameSource.h"
#include "HeadingSimulator.h"
#include "PanelWindow.h"
#include "QueryResponder.h"
#include "SinkServer.h"
#include "SkyConstellation.h"
#include "TemporaryCopy.h"
#include "TraceModel.h"
#include "platform/Environment.h"
#include "platform/HeadlessDispatcher.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"
#include "stream/socket/ConnectedSocketDevice.h"
#include "stream/socket/HostAddress.h"
#include "stream/socket/ServerSocketDevice.h"
#include "stream/socket/SocketTransports.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zeb::tools::sim {

namespace {

using Clock = CapturePlayer::Clock;
constexpr auto kIdleSlice = std::chrono::milliseconds(20);
constexpr std::size_t kBatchMax = 256;
constexpr int kWriteRetries = 200;
constexpr int kWriteRetryMs = 5;
// Ten minutes of the made-up sky, played in a loop like a capture.
constexpr unsigned kSkySeconds = 600;
// "$PKVR,SCREEN,2,,ON" and "...,OFF" switch the front panel's screen output of a connection.
constexpr std::string_view kScreenPrefix = "$PKVR,SCREEN,2,,";

std::atomic<bool> g_stop{false};

// The demonstration tree the simulator serves a copy of: the installed one, else the source tree's.
std::string demoRoot()
{
    for (const std::string& folder : platform::Environment::libraryFolders()) {
        const std::string candidate = folder + "/demo/ide0a";
        std::error_code error;
        if (std::filesystem::is_directory(candidate, error))
            return candidate;
    }
    return ZEB500_SIM_DEMO_ROOT;
}

extern "C" void onStopSignal(int)
{
    g_stop.store(true);
}

void installStopHandlers()
{
    struct sigaction action
    { };
    action.sa_handler = &onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

struct Options
{
    std::vector<std::string> captures;
    int port = 4001;
    bool pty = false;
    std::string pace = "epoch";
    double byteRate = 1200;
    // Empty: a temporary copy of the demo tree.
    std::string root;
    std::string listen = "127.0.0.1";
    FaultSettings faults;
    std::size_t framesEvery = 0;
    bool rawFrames = false;
    std::string sink;
    std::uint64_t sinkLimit = 64ULL << 20;
    bool heading = false;
    TraceModel::Settings trace;
    double mask = QueryResponder::kDefaultMask;
    bool sky = false;
    unsigned rpcDelayMs = 0;
    bool rpcMute = false;
};

// How the simulated disk answers remote file requests: each after a pause, or not at all.
std::atomic<unsigned> g_rpcDelayMs{0};
std::atomic<bool> g_rpcMute{false};

bool slowOrMuteDisk(stream::IOSTStream&, std::uint32_t, std::string_view)
{
    if (const unsigned delay = g_rpcDelayMs.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    return !g_rpcMute.load();
}

// Generated frames mixed into the playback: one after every `every` sentences.
struct FrameMix
{
    std::unique_ptr<FrameSource> source;
    std::size_t every = 0;
    std::size_t sentences = 0;

    // The frame due after one more sentence, or nothing.
    std::string_view afterSentence()
    {
        if (!source || ++sentences < every)
            return {};
        sentences = 0;
        return source->next();
    }
};

bool parsePace(const Options& options, Pace& pace)
{
    pace.bytesPerSecond = options.byteRate;
    if (options.pace == "epoch") {
        pace.mode = Pace::Mode::Epoch;
        return true;
    }
    if (options.pace == "max") {
        pace.mode = Pace::Mode::Max;
        return true;
    }
    char* end = nullptr;
    const double rate = std::strtod(options.pace.c_str(), &end);
    if (end == options.pace.c_str() || *end != '\0' || !(rate > 0))
        return false;
    pace.mode = Pace::Mode::Lines;
    pace.linesPerSecond = rate;
    return true;
}

// Serves the front panel's messages until `until`.
void pump(platform::HeadlessDispatcher& dispatcher, Clock::time_point until)
{
    const auto now = Clock::now();
    if (until > now)
        dispatcher.runUntil([] { return g_stop.load(); },
                            std::chrono::duration_cast<std::chrono::milliseconds>(until - now) + std::chrono::milliseconds(1));
}

// Waits until the next piece is due, in slices short enough to notice a stop request.
void waitForNext(platform::HeadlessDispatcher& dispatcher, const CapturePlayer& player, Clock::time_point now)
{
    pump(dispatcher, std::min(player.nextDue(), now + kIdleSlice));
}

// Takes every piece due now (a bounded batch) with the frames mixed in after them, passes each
// through the faults and notes the sentences for the queries; returns the bytes to send.
std::string takeDue(CapturePlayer& player, FaultInjector& faults, QueryResponder& responder, FrameMix& mix,
                    Clock::time_point now)
{
    std::string out;
    if (HeadingSimulator* heading = responder.heading()) {
        if (const std::string epoch = heading->due(now); !epoch.empty())
            out.append(faults.apply(epoch, true));
    }
    for (std::size_t i = 0; i < kBatchMax; ++i) {
        const auto piece = player.take(now);
        if (!piece)
            break;
        out.append(faults.apply(piece->bytes, piece->sentence));
        if (!piece->sentence)
            continue;
        responder.observe(piece->bytes, piece->epochStart);
        if (const auto frame = mix.afterSentence(); !frame.empty())
            out.append(faults.apply(frame, false));
    }
    if (TraceModel* trace = responder.trace())
        out.append(trace->take(now));
    return out;
}

// The TCP side: a server stream whose peers all receive the playback.
class TcpServer
{
public:
    TcpServer(QueryResponder& responder)
        : m_responder(responder)
    {
    }

    // Every connection gets this window as its request window: the front panel.
    void setPanelWindow(platform::Handle window) { m_panelWindow = window; }

    // A connection switched the screen on since the last call.
    bool takeScreenSwitchedOn() { return m_screenSwitchedOn.exchange(false); }

    bool anyScreen() const
    {
        const std::lock_guard lock(m_mutex);
        return std::any_of(m_peers.begin(), m_peers.end(), [](const Peer& p) { return p.screen && !p.dropping; });
    }

    // Sends display-list requests to the connections whose screen is on, under the playback's
    // lock so that their bytes never interleave with a sentence.
    void sendScreen(const std::vector<std::string>& payloads)
    {
        if (payloads.empty())
            return;
        const std::lock_guard lock(m_mutex);
        stream::rpc::RemoteFileRequest record;
        for (auto& peer : m_peers) {
            if (peer.dropping || !peer.screen)
                continue;
            for (const std::string& payload : payloads) {
                record.assign({reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()});
                stream::rpc::RemoteRequests::send(*peer.stream, record, stream::rpc::request_kind::Record);
            }
        }
    }

    bool open(int port)
    {
        m_server.subscribeCallback(&TcpServer::onServerEvent, this);
        const std::string address = "/dev/server/localhost/" + std::to_string(port);
        if (m_server.open(address, "r+b") != stream::StreamStatus::Ok || !m_server.isOpen())
            return false;
        const auto* device = dynamic_cast<stream::socket::ServerSocketDevice*>(m_server.device());
        std::printf("listening %u\n", device ? device->port() : static_cast<unsigned>(port));
        std::fflush(stdout);
        return true;
    }

    // Ends every connection, then stops accepting; the server stream destroys the peers.
    void close()
    {
        dropPeers(true, Clock::now(), nullptr);
        m_server.close();
    }

    // A listener came when nobody listened (since the last call).
    bool takeFirstListener() { return m_firstListener.exchange(false); }

    bool hasPeers() const
    {
        const std::lock_guard lock(m_mutex);
        return std::any_of(m_peers.begin(), m_peers.end(), [](const Peer& p) { return !p.dropping; });
    }

    void send(const std::string& bytes)
    {
        if (bytes.empty())
            return;
        const std::lock_guard lock(m_mutex);
        for (auto& peer : m_peers)
            if (!peer.dropping)
                peer.stream->write(bytes, kWriteRetries, kWriteRetryMs);
    }

    // Ends the connections the fault settings want dropped (all with `everyone`). The socket is
    // shut down rather than the peer stream closed: the peer then ends as when the far side
    // hangs up, on its own receive thread, which is the one ending the server handles safely
    // while the connection may be ending by itself. The peer stays listed until its
    // disconnect, and a listed peer is alive: its destruction waits for that notification,
    // which waits for this lock.
    void dropPeers(bool everyone, Clock::time_point now, const FaultInjector* faults)
    {
        const std::lock_guard lock(m_mutex);
        for (auto& peer : m_peers) {
            if (peer.dropping || !(everyone || (faults && faults->dropDue(now - peer.since))))
                continue;
            peer.dropping = true;
            const auto* device = dynamic_cast<stream::socket::ConnectedSocketDevice*>(peer.stream->device());
            if (device && device->socketFd() >= 0)
                ::shutdown(device->socketFd(), SHUT_RDWR);
        }
    }

private:
    struct Peer
    {
        stream::IOSTStream* stream = nullptr;
        Clock::time_point since;
        bool dropping = false;
        bool screen = false;
    };

    static void onServerEvent(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<TcpServer*>(context);
        auto* peer = reinterpret_cast<stream::IOSTStream*>(argument);
        if (!peer)
            return;
        if (code == stream::StreamEventCode::Connect) {
            peer->subscribeCallback(&TcpServer::onPeerEvent, &self);
            // The window takes only the requests: were it told of every message as a subscriber, a receive
            // thread writing a reply under this lock would wait for the main thread, which may wait for the lock.
            if (self.m_panelWindow != platform::kNoHandle) {
                stream::rpc::RemoteRequests::registerRequestWindow(*peer, self.m_panelWindow);
                peer->setWindowState(self.m_panelWindow, stream::SubscriberState::Disabled);
            }
            const std::lock_guard lock(self.m_mutex);
            const bool first
                = std::none_of(self.m_peers.begin(), self.m_peers.end(), [](const Peer& p) { return !p.dropping; });
            self.m_peers.push_back({peer, Clock::now(), false, false});
            if (first)
                self.m_firstListener = true;
            return;
        }
        if (code == stream::StreamEventCode::Disconnect) {
            const std::lock_guard lock(self.m_mutex);
            std::erase_if(self.m_peers, [peer](const Peer& p) { return p.stream == peer; });
        }
    }

    void switchScreen(stream::IOSTStream* peer, bool on)
    {
        const std::lock_guard lock(m_mutex);
        for (auto& p : m_peers)
            if (p.stream == peer)
                p.screen = on;
        if (on)
            m_screenSwitchedOn = true;
    }

    static void onPeerEvent(void* context, stream::IOSTStream* peer, stream::StreamEventCode code,
                            std::intptr_t argument)
    {
        if (code != stream::StreamEventCode::Receive || !peer)
            return;
        auto& self = *static_cast<TcpServer*>(context);
        const std::string_view text = stream::eventArgument(argument).text();
        if (text.starts_with(kScreenPrefix))
            self.switchScreen(peer, text.substr(kScreenPrefix.size()).starts_with("ON"));
        const std::string reply = self.m_responder.answer(text);
        if (reply.empty())
            return;
        const std::lock_guard lock(self.m_mutex);
        const bool live
            = std::any_of(self.m_peers.begin(), self.m_peers.end(), [peer](const Peer& p) { return p.stream == peer; });
        if (live)
            peer->write(reply, kWriteRetries, kWriteRetryMs);
    }

    QueryResponder& m_responder;
    platform::Handle m_panelWindow = platform::kNoHandle;
    mutable std::mutex m_mutex;
    std::vector<Peer> m_peers;
    std::atomic<bool> m_firstListener{false};
    std::atomic<bool> m_screenSwitchedOn{false};
    // Last, so it goes first: destroying it destroys the peers, which may still notify.
    stream::IOSTStream m_server{65};
};

int runTcp(const Options& options, CapturePlayer& player, FaultInjector& faults, QueryResponder& responder,
           FrameMix& mix)
{
    stream::socket::registerSocketTransports();
    const auto listenAddress = stream::socket::parseDottedAddress(options.listen);
    if (!listenAddress) {
        std::fprintf(stderr, "zeb500-sim: --listen takes a dotted IPv4 address, not %s\n", options.listen.c_str());
        return 2;
    }
    stream::socket::ServerSocketDevice::setListenAddress(*listenAddress);
    std::string error;
    std::optional<TemporaryCopy> demo;
    if (options.root.empty())
        demo.emplace(demoRoot(), error);
    const std::string root = demo ? demo->path().string() : options.root;
    if (root.empty()) {
        std::fprintf(stderr, "zeb500-sim: %s\n", error.c_str());
        return 2;
    }
    // The served folder is the receiver's "/": peers name its folders "/ide0a".
    if (const std::string refusal
        = stream::rpc::installRemoteRequests(root, stream::rpc::RootFolder::Absolute::FromFolder);
        !refusal.empty()) {
        std::fprintf(stderr, "zeb500-sim: %s\n", refusal.c_str());
        return 2;
    }
    platform::HeadlessDispatcher dispatcher;
    TcpServer server(responder);
    std::optional<PanelWindow> panel;
    panel.emplace();
    server.setPanelWindow(panel->handle());
    if (!server.open(options.port)) {
        std::fprintf(stderr, "zeb500-sim: cannot listen on port %d\n", options.port);
        return 2;
    }
    Clock::time_point playStart;
    while (!g_stop.load()) {
        const auto now = Clock::now();
        server.dropPeers(false, now, &faults);
        // A receiver talks whether anyone listens or not, but playing into the void would only
        // make the first listener start at a random place in the log: playback pauses while
        // nobody listens, and the pacing and the stall cycle start afresh with a listener.
        if (server.takeFirstListener()) {
            player.restart(now);
            playStart = now;
        }
        if (!server.hasPeers()) {
            pump(dispatcher, now + kIdleSlice);
            continue;
        }
        if (server.takeScreenSwitchedOn())
            panel->invalidate();
        if (server.anyScreen())
            server.sendScreen(panel->due(std::chrono::system_clock::now()));
        if (faults.stalled(now - playStart)) {
            pump(dispatcher, now + kIdleSlice);
            continue;
        }
        server.send(takeDue(player, faults, responder, mix, now));
        waitForNext(dispatcher, player, Clock::now());
    }
    // The window goes first: connections that still notify it then find nobody to wait for.
    panel.reset();
    server.close();
    return 0;
}

// --- pseudo-terminal ------------------------------------------------------------------------

class PtyLink
{
public:
    ~PtyLink()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }

    bool open()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return false;
        const char* name = ptsname(m_master);
        if (!name)
            return false;
        m_path = name;
        // Raw, so that the line discipline neither echoes our output back nor edits queries.
        termios settings{};
        if (tcgetattr(m_master, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_master, TCSANOW, &settings);
        }
        // Held open so the master never sees a hang-up between two users of the slave.
        m_slave = ::open(name, O_RDWR | O_NOCTTY);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        return true;
    }

    const std::string& path() const { return m_path; }

    // Whatever does not fit is lost, as on a serial line nobody reads.
    void send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t took = ::write(m_master, bytes.data(), bytes.size());
            if (took <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(took));
        }
    }

    // Reads what arrived (waiting at most `wait`) and answers each complete line.
    void serve(QueryResponder& responder, std::chrono::milliseconds wait)
    {
        pollfd entry{m_master, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(wait.count())) <= 0)
            return;
        char block[512];
        const ssize_t got = ::read(m_master, block, sizeof block);
        if (got <= 0)
            return;
        for (ssize_t i = 0; i < got; ++i) {
            const char c = block[i];
            if (c != '\n') {
                // A line longer than any query is noise: keep only its start.
                if (m_line.size() < kLineMax)
                    m_line.push_back(c);
                continue;
            }
            answer(responder);
            m_line.clear();
        }
    }

private:
    static constexpr std::size_t kLineMax = 256;

    void answer(QueryResponder& responder)
    {
        std::string_view line(m_line);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line == "$PKVR,RPC,PING") {
            send("$PKVR,RPC,PING," + m_path + "\r\n");
            return;
        }
        send(responder.answer(line));
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    std::string m_line;
};

int runPty(CapturePlayer& player, FaultInjector& faults, QueryResponder& responder, FrameMix& mix)
{
    PtyLink link;
    if (!link.open()) {
        std::fprintf(stderr, "zeb500-sim: cannot create a pseudo-terminal: %s\n", std::strerror(errno));
        return 2;
    }
    std::printf("pty %s\n", link.path().c_str());
    std::fflush(stdout);
    const auto start = Clock::now();
    player.restart(start);
    while (!g_stop.load()) {
        const auto now = Clock::now();
        if (!faults.stalled(now - start))
            link.send(takeDue(player, faults, responder, mix, now));
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::clamp<Clock::duration>(player.nextDue() - Clock::now(), Clock::duration::zero(), kIdleSlice));
        link.serve(responder, wait);
    }
    return 0;
}

// --- sink -----------------------------------------------------------------------------------

int runSink(const Options& options)
{
    ByteSink sink(options.sinkLimit);
    SinkServer server(sink);
    std::string error;
    if (!sink.open(options.sink, error) || !server.listen(options.listen, options.port, error)) {
        std::fprintf(stderr, "zeb500-sim: %s\n", error.c_str());
        return 2;
    }
    std::printf("listening %u\n", server.port());
    std::fflush(stdout);
    bool told = false;
    while (!g_stop.load()) {
        server.serve(kIdleSlice);
        if (told || !sink.closedForWriting())
            continue;
        told = true;
        std::fprintf(stderr, "zeb500-sim: %s after %llu bytes; what follows is dropped\n",
                     sink.failed() ? "cannot write the sink" : "the sink is full",
                     static_cast<unsigned long long>(sink.stored()));
    }
    server.drain();
    std::printf("stored %llu dropped %llu\n", static_cast<unsigned long long>(sink.stored()),
                static_cast<unsigned long long>(sink.dropped()));
    return sink.failed() ? 1 : 0;
}

int run(int argc, char** argv)
{
    Options options;
    CLI::App app{"Simulated receiver: plays captures, answers queries, injects faults"};
    app.add_option("captures", options.captures, "Capture files, played in order and looped")->check(CLI::ExistingFile);
    app.add_option("--port", options.port, "TCP port to listen on (0: any free port)")->check(CLI::Range(0, 65535));
    app.add_flag("--pty", options.pty, "Serve on a pseudo-terminal instead of TCP");
    app.add_option("--pace", options.pace, "epoch (one epoch per second), N lines per second, or max");
    app.add_option("--byte-rate", options.byteRate, "Bytes per second for binary captures")->check(CLI::PositiveNumber);
    app.add_option("--root", options.root,
                   "Folder served to remote file requests (default: a temporary copy of the demo tree)");
    app.add_option("--listen", options.listen,
                   "Local IPv4 address to listen on (default 127.0.0.1; 0.0.0.0 for every interface)");
    app.add_option("--drop-after", options.faults.dropAfterSeconds, "Close each connection after N seconds")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--stall", options.faults.stallSeconds, "Stop sending for N seconds now and then")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--stall-every", options.faults.stallEverySeconds, "Seconds of sending between stalls")
        ->check(CLI::PositiveNumber);
    app.add_option("--garbage", options.faults.garbageRate, "Probability of garbage bytes between pieces")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--corrupt-checksums", options.faults.corruptFraction, "Fraction of sentences with a bad checksum")
        ->check(CLI::Range(0.0, 1.0));
    app.add_flag("--sky", options.sky, "Also play a made-up GPS sky: GSA and GSV of 9-11 moving satellites each epoch");
    app.add_option("--mask", options.mask, "Elevation mask in degrees that SVDSEL queries are answered with")
        ->check(CLI::Range(-90.0, 90.0));
    app.add_option("--seed", options.faults.seed, "Seed of the fault generator");
    app.add_option("--frames", options.framesEvery,
                   "After every N sentences, a generated binary, text or UHF frame (0: none)");
    app.add_flag("--raw-frames", options.rawFrames, "Send binary frames unescaped, as over TCP");
    auto* sink = app.add_option("--sink", options.sink,
                                "Instead of playing, store what connections send in this file (TCP only)");
    app.add_option("--sink-limit", options.sinkLimit,
                   "Bytes the sink stores at most; what comes after is read and dropped")
        ->check(CLI::PositiveNumber);
    sink->excludes("--pty");
    app.add_flag("--heading", options.heading,
                 "Also send HDT and HRP heading sentences once a second and answer HDGSET, HDGINI and FIXMOD");
    app.add_option("--trace-rate", options.trace.linesPerSecond,
                   "Debug trace sentences a second for the levels switched on (0: no trace)")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--trace-odd", options.trace.oddLines,
                 "Now and then a trace sentence of level 0 or 7, and a malformed one");
    app.add_option("--rpc-delay", options.rpcDelayMs, "Milliseconds before each remote file request is answered");
    app.add_flag("--rpc-mute", options.rpcMute, "Leave remote file requests unanswered");
    CLI11_PARSE(app, argc, argv);
    g_rpcDelayMs = options.rpcDelayMs;
    g_rpcMute = options.rpcMute;
    if (options.rpcDelayMs > 0 || options.rpcMute)
        stream::rpc::RemoteRequests::setObserver(&slowOrMuteDisk);

    installStopHandlers();
    if (!options.sink.empty())
        return runSink(options);
    if (options.captures.empty() && !options.sky) {
        std::fprintf(stderr, "zeb500-sim: give at least one capture to play, or --sky (or --sink FILE)\n");
        return 2;
    }

    Pace pace;
    if (!parsePace(options, pace)) {
        std::fprintf(stderr, "zeb500-sim: --pace takes epoch, max or a positive number of lines per second\n");
        return 2;
    }
    CapturePlayer player(pace);
    for (const auto& capture : options.captures) {
        std::string error;
        if (!player.load(capture, error)) {
            std::fprintf(stderr, "zeb500-sim: %s\n", error.c_str());
            return 2;
        }
    }
    if (options.sky)
        player.add(SkyConstellation::log(kSkySeconds));
    FaultInjector faults(options.faults);
    QueryResponder responder;
    TraceModel trace(options.trace);
    responder.setTrace(&trace);
    responder.setMask(options.mask);
    FrameMix mix;
    mix.every = options.framesEvery;
    if (mix.every > 0)
        mix.source
            = std::make_unique<FrameSource>(options.rawFrames ? FrameSource::Escapes::Off : FrameSource::Escapes::On);
    HeadingSimulator heading;
    if (options.heading)
        responder.setHeading(&heading);
    return options.pty ? runPty(player, faults, responder, mix) : runTcp(options, player, faults, responder, mix);
}

} // namespace

} // namespace zeb::tools::sim

int main(int argc, char** argv)
{
    return zeb::tools::sim::run(argc, argv);
}
