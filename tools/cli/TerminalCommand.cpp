#include "TerminalCommand.h"

#include "Connection.h"
#include "Transports.h"
#include "messages/RtcmMessage.h"
#include "platform/Environment.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "terminal/core/Dictionary.h"
#include "terminal/core/DictionaryPlaces.h"
#include "terminal/filters/InputFilterFile.h"
#include "terminal/session/TerminalSession.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

namespace zeb::tools {

namespace {

using terminal::Direction;
using terminal::DisplayMode;
using terminal::MessageCategory;
using terminal::TerminalOptions;

constexpr const char* kModeHelp
    = "CATEGORY[:receive|:send]=MODE; CATEGORY one of telecommand, svar, sbin, uhf, rtcm, unknown; MODE one of "
      "hidden, summary, text, hex, decoded (or 0-4)";

std::string lower(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::optional<MessageCategory> categoryNamed(std::string_view name)
{
    static constexpr std::array<std::string_view, TerminalOptions::kCategoryCount> kNames
        = {"telecommand", "svar", "sbin", "uhf", "rtcm", "unknown"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) {
            return static_cast<MessageCategory>(i);
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> modeNamed(std::string_view name)
{
    static constexpr std::array<std::string_view, 5> kNames = {"hidden", "summary", "text", "hex", "decoded"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i] || (name.size() == 1 && name[0] == static_cast<char>('0' + i))) {
            return static_cast<std::uint32_t>(i);
        }
    }
    if (name == "hexadecimal") {
        return static_cast<std::uint32_t>(DisplayMode::Hexadecimal);
    }
    return std::nullopt;
}

// "CATEGORY[:DIRECTION]=MODE" into the options; false when it does not read.
bool applyMode(std::string_view text, TerminalOptions& options)
{
    const std::string request = lower(text);
    const std::size_t equals = request.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    std::string_view target = std::string_view(request).substr(0, equals);
    const std::optional<std::uint32_t> mode = modeNamed(std::string_view(request).substr(equals + 1));
    bool receive = true;
    bool send = true;
    const std::size_t colon = target.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view direction = target.substr(colon + 1);
        receive = direction == "receive";
        send = direction == "send";
        target = target.substr(0, colon);
    }
    const std::optional<MessageCategory> category = categoryNamed(target);
    if (!mode || !category || (!receive && !send)) {
        return false;
    }
    if (receive) {
        options.pair(*category, Direction::Receive).mode = *mode;
    }
    if (send) {
        options.pair(*category, Direction::Send).mode = *mode;
    }
    return true;
}

// Standard input, SIGINT/SIGTERM and the wake-up of the event queue, waited for together, so that the
// console stops promptly whatever it is waiting for.
class ConsoleInput
{
public:
    enum class Result { Line, End, Stop, Wake };

    ConsoleInput(int signalFd, int wakeFd)
        : m_signal(signalFd)
        , m_wake(wakeFd)
    {
    }

    // The next line without its LF. With `wake`, returns Wake when the event queue has something.
    Result next(std::string& line, bool wake)
    {
        for (;;) {
            const std::size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                line.assign(m_buffer, 0, end);
                m_buffer.erase(0, end + 1);
                return Result::Line;
            }
            if (m_eof) {
                if (m_buffer.empty()) {
                    return Result::End;
                }
                line.swap(m_buffer);
                m_buffer.clear();
                return Result::Line;
            }
            std::array<pollfd, 3> fds{{{STDIN_FILENO, POLLIN, 0}, {m_signal, POLLIN, 0}, {m_wake, POLLIN, 0}}};
            const int ready = ::poll(fds.data(), wake ? 3 : 2, -1);
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Result::Stop;
            }
            if (fds[1].revents != 0) {
                return Result::Stop;
            }
            if (wake && fds[2].revents != 0) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t got = ::read(m_wake, &count, sizeof count);
                return Result::Wake;
            }
            if (fds[0].revents != 0) {
                readInput();
            }
        }
    }

private:
    void readInput()
    {
        std::array<char, 4096> block{};
        const ssize_t count = ::read(STDIN_FILENO, block.data(), block.size());
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            return;
        }
        if (count <= 0) {
            m_eof = true;
            return;
        }
        m_buffer.append(block.data(), static_cast<std::size_t>(count));
    }

    int m_signal;
    int m_wake;
    bool m_eof = false;
    std::string m_buffer;
};

// Stream events handed from the stream's threads to the console's thread, which runs the terminal: the
// terminal's prompts read standard input, so it cannot run on a receive thread. Slots keep their buffers,
// so once warm the hand-over allocates nothing; when the console is busy prompting and the ring fills up,
// further events are counted and dropped.
class EventQueue
{
public:
    static constexpr std::size_t kSlots = 1024;

    struct Item
    {
        std::vector<std::uint8_t> bytes; // the message and a zero byte
        messages::MessageKind kind = messages::MessageKind::Unknown;
        messages::MessageType type = messages::message_type::Other;
        bool send = false;
        bool hasRtcm = false;
        messages::RtcmMessage rtcm;
    };

    EventQueue(int wakeFd, terminal::TerminalSession& session)
        : m_wake(wakeFd)
        , m_session(session)
        , m_owner(std::this_thread::get_id())
        , m_slots(kSlots)
    {
    }

    static void callback(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<EventQueue*>(context);
        switch (code) {
        case stream::StreamEventCode::Receive:
            self.push(stream::eventArgument(argument), false);
            return;
        case stream::StreamEventCode::Send:
            // The console's own sends are shown as they leave, as in the workbench: the input filters then
            // see an answer while it is being sent, and do not answer it again.
            if (std::this_thread::get_id() == self.m_owner) {
                self.m_session.onSend(stream::eventArgument(argument));
                return;
            }
            self.push(stream::eventArgument(argument), true);
            return;
        case stream::StreamEventCode::Close:
            // Opening closes first, so a close is told before the stream is open: the console looks at the
            // stream's state when it wakes.
            self.wake();
            return;
        default:
            return;
        }
    }

    // The oldest event into `item` (whose buffers go back to the ring); false when there is none.
    bool pop(Item& item)
    {
        const std::lock_guard lock(m_mutex);
        if (m_count == 0) {
            return false;
        }
        std::swap(item, m_slots[m_head]);
        m_head = (m_head + 1) % kSlots;
        --m_count;
        return true;
    }

    std::size_t takeDropped()
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_dropped, 0);
    }

private:
    void push(const stream::StreamEvent& event, bool send)
    {
        const std::lock_guard lock(m_mutex);
        if (m_count == kSlots) {
            ++m_dropped;
            return;
        }
        Item& item = m_slots[(m_head + m_count) % kSlots];
        const std::uint8_t* data = event.data();
        item.bytes.assign(data, data ? data + event.length() : data);
        item.bytes.push_back(0);
        item.kind = event.kind;
        item.type = event.type;
        item.send = send;
        item.hasRtcm = event.rtcm() != nullptr;
        if (item.hasRtcm) {
            item.rtcm = *event.rtcm();
        }
        ++m_count;
        wake();
    }

    void wake() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t put = ::write(m_wake, &one, sizeof one);
    }

    int m_wake;
    terminal::TerminalSession& m_session;
    const std::thread::id m_owner;
    std::mutex m_mutex;
    std::vector<Item> m_slots;
    std::size_t m_head = 0;
    std::size_t m_count = 0;
    std::size_t m_dropped = 0;
};

// The terminal's screen on a console: CR (with or without LF) and a lone LF end lines; other control
// characters show as "." so that received bytes cannot drive the console; colours as ANSI escapes.
class ConsoleSink : public terminal::TerminalSink
{
public:
    ConsoleSink(std::FILE* out, bool colour, bool trueColour)
        : m_out(out)
        , m_colour(colour)
        , m_trueColour(trueColour)
    {
    }

    void show(std::uint32_t colour, std::string_view text) override
    {
        m_text.clear();
        if (m_colour) {
            appendColour(colour);
        }
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == '\r') {
                m_text += '\n';
                m_afterCr = true;
                continue;
            }
            const bool afterCr = std::exchange(m_afterCr, false);
            if (byte == '\n') {
                if (!afterCr) {
                    m_text += '\n';
                }
                continue;
            }
            m_text += (byte < 0x20 && byte != '\t') || byte == 0x7F ? '.' : c;
        }
        if (m_colour) {
            m_text += "\x1b[0m";
        }
        std::fwrite(m_text.data(), 1, m_text.size(), m_out);
    }

private:
    void appendColour(std::uint32_t colour)
    {
        const unsigned red = colour & 0xFF;
        const unsigned green = (colour >> 8) & 0xFF;
        const unsigned blue = (colour >> 16) & 0xFF;
        // Black is the default of the workbench's white screen; on a console the default colour reads best.
        if (colour == 0) {
            m_text += "\x1b[39m";
            return;
        }
        char escape[32];
        if (m_trueColour) {
            std::snprintf(escape, sizeof escape, "\x1b[38;2;%u;%u;%um", red, green, blue);
        } else {
            const auto level = [](unsigned value) { return (value * 5 + 127) / 255; };
            std::snprintf(escape, sizeof escape, "\x1b[38;5;%um",
                          16 + 36 * level(red) + 6 * level(green) + level(blue));
        }
        m_text += escape;
    }

    std::FILE* m_out;
    bool m_colour;
    bool m_trueColour;
    bool m_afterCr = false;
    std::string m_text;
};

// Asks for placeholder values and filter answers on the console, one row at a time.
class ConsolePrompt : public terminal::PromptHandler
{
public:
    ConsolePrompt(ConsoleInput& input, std::FILE* out, bool& stop)
        : m_input(input)
        , m_out(out)
        , m_stop(stop)
    {
    }

    terminal::PromptResult prompt(std::vector<terminal::PromptRow>& rows) override
    {
        std::fprintf(m_out, "Values to send (Enter keeps the value in brackets, end of input cancels):\n");
        std::string line;
        for (std::size_t i = 0; i < rows.size() && i < kShownRows; ++i) {
            std::fprintf(m_out, "  %s [%s]: ", rows[i].label.c_str(), rows[i].value.c_str());
            std::fflush(m_out);
            switch (m_input.next(line, false)) {
            case ConsoleInput::Result::Line:
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                if (!line.empty()) {
                    rows[i].value = line;
                }
                break;
            case ConsoleInput::Result::Stop:
                m_stop = true;
                [[fallthrough]];
            default:
                std::fprintf(m_out, "\nnot sent\n");
                return terminal::PromptResult::Cancel;
            }
        }
        return terminal::PromptResult::Accept;
    }

private:
    ConsoleInput& m_input;
    std::FILE* m_out;
    bool& m_stop;
};

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool wantsTrueColour()
{
    const char* colourTerm = std::getenv("COLORTERM");
    return colourTerm && (std::strstr(colourTerm, "truecolor") || std::strstr(colourTerm, "24bit"));
}

} // namespace

TerminalCommand::Options& TerminalCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("terminal", "Show a stream's messages and send telecommands typed on stdin");
    subcommand->add_option("address", options.address, "Stream address, e.g. /dev/client/localhost/5000")->required();
    subcommand->add_option("--mode", options.modes, kModeHelp)->allow_extra_args(false);
    subcommand->add_flag("--no-color", options.noColour, "Plain text, without ANSI colours");
    subcommand->add_option("--filters", options.filters, "Input filter file (.ufl); default: the workbench's");
    return options;
}

int TerminalCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    TerminalOptions display = TerminalOptions::fromSettings();
    for (const std::string& mode : options.modes) {
        if (!applyMode(mode, display)) {
            std::fprintf(err, "terminal: cannot read --mode %s: expected %s\n", mode.c_str(), kModeHelp);
            return 2;
        }
    }

    // The stream's threads inherit the mask: the signals are taken only through the descriptor.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const Descriptor signalFd(::signalfd(-1, &signals, SFD_CLOEXEC));
    const Descriptor wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (signalFd.get() < 0 || wakeFd.get() < 0) {
        std::fprintf(err, "terminal: cannot set up the console: %s\n", std::strerror(errno));
        return 2;
    }

    if (!checkConnectionAddress(options.address, "terminal", err))
        return 2;
    if (platform::Environment::home().empty()) {
        std::fprintf(err, "terminal: no data folder for the dictionaries: set HOME, XDG_DATA_HOME or ZEB500_HOME\n");
        return 2;
    }
    registerTransports();
    bool stop = false;
    ConsoleInput input(signalFd.get(), wakeFd.get());
    ConsoleSink sink(out, !options.noColour && ::isatty(::fileno(out)) != 0, wantsTrueColour());
    ConsolePrompt prompt(input, err, stop);
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    terminal::TerminalSession session(sink, prompt, [err](std::string_view message) {
        std::fprintf(err, "terminal: %.*s\n", static_cast<int>(message.size()), message.data());
    });
    session.settings().options = display;
    EventQueue queue(wakeFd.get(), session);
    session.loadInputFilters(options.filters.empty() ? terminal::InputFilterFile::defaultPath() : options.filters);
    terminal::Dictionary dictionary;
    const std::string dictionaryPath = terminal::DictionaryPlaces::toolBarDictionary();
    dictionary.read(dictionaryPath);

    link.subscribeCallback(&EventQueue::callback, &queue);
    // Whatever way run() ends, the stream stops and forgets the queue before the queue goes.
    const std::unique_ptr<stream::IOSTStream, void (*)(stream::IOSTStream*)> closer(&link, [](stream::IOSTStream* s) {
        s->close();
        s->setAllStates(stream::SubscriberState::Disabled);
    });
    if (link.open(options.address, "r+b") != stream::StreamStatus::Ok || !link.isOpen()) {
        std::fprintf(err,
                     "terminal: cannot open %s: check the address (e.g. /dev/client/HOST/PORT, "
                     "/dev/serial/com1,9600,8,1.0,N) and that the far side is there\n",
                     options.address.c_str());
        return 2;
    }
    session.attach(&link);

    const auto drain = [&] {
        EventQueue::Item item;
        while (queue.pop(item)) {
            stream::StreamEvent event;
            event.setData(item.bytes.data(), static_cast<std::uint32_t>(item.bytes.size() - 1));
            event.setRtcm(item.hasRtcm ? &item.rtcm : nullptr);
            event.kind = item.kind;
            event.type = item.type;
            event.status = messages::ReadStatus::Complete;
            event.stream = &link;
            if (item.send) {
                session.onSend(event);
            } else {
                session.onReceive(event);
            }
        }
        if (const std::size_t dropped = queue.takeDropped(); dropped > 0) {
            std::fprintf(err, "terminal: %zu messages not shown while waiting for an answer\n", dropped);
        }
        std::fflush(out);
    };

    const auto sendLine = [&](std::string line) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.starts_with('!')) {
            session.sendTelecommand(line + "\r\n");
            return;
        }
        const std::string_view name = std::string_view(line).substr(1);
        for (const terminal::DictionaryEntry& entry : dictionary.entries()) {
            if (entry.label == name) {
                session.sendTelecommand(entry.value);
                return;
            }
        }
        std::fprintf(err, "terminal: no entry \"%.*s\" in %s; add it with the dictionary editor or check the label\n",
                     static_cast<int>(name.size()), name.data(), dictionaryPath.c_str());
    };

    int result = 0;
    std::string line;
    while (!stop) {
        drain();
        if (!session.streamOpen()) {
            std::fprintf(err, "terminal: the far side closed %s\n", options.address.c_str());
            result = 1;
            break;
        }
        const ConsoleInput::Result next = input.next(line, true);
        if (next == ConsoleInput::Result::Line) {
            sendLine(line);
            continue;
        }
        if (next != ConsoleInput::Result::Wake) {
            break;
        }
    }
    drain();
    std::fflush(out);
    return result;
}

} // namespace zeb::tools
