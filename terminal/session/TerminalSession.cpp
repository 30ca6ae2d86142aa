#include "terminal/session/TerminalSession.h"

#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "terminal/core/NmeaChecksum.h"
#include "text/Format.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

namespace zeb::terminal {

namespace {

class Flag
{
public:
    explicit Flag(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~Flag() { m_flag = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& m_flag;
};

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

TerminalSession::TerminalSession(TerminalSink& sink, PromptHandler& prompt, Reporter reporter)
    : m_sink(sink)
    , m_reporter(std::move(reporter))
    , m_settings(TerminalSettings::fromSettings())
    , m_suspendBuffer(m_settings.options.scrollBack)
    , m_sendStep(prompt, [this](std::span<const std::uint8_t> bytes) { write(bytes); })
    , m_answerStep(prompt, [this](std::span<const std::uint8_t> bytes) { write(bytes); })
    , m_channel(prompt, m_answerStep)
    , m_answerer(m_filters, m_channel)
{
}

TerminalSession::~TerminalSession()
{
    stopLog();
}

void TerminalSession::applyOptions(const TerminalOptions& options)
{
    m_settings.options = options;
    m_settings.options.writeSettings();
    m_suspendBuffer.setCapacity(options.scrollBack);
}

void TerminalSession::clear()
{
    m_renderer.clear();
    m_stamper.reset();
}

void TerminalSession::initialUpdate(stream::IOSTStream* stream)
{
    loadInputFilters();
    attach(stream);
}

void TerminalSession::attach(stream::IOSTStream* stream)
{
    m_stream = stream;
    tap(m_log.running() && m_log.mode() == TerminalLog::Mode::Raw ? stream : nullptr);
    if (streamOpen() && !m_active) {
        resume();
    }
}

void TerminalSession::detach()
{
    tap(nullptr);
    m_stream = nullptr;
}

bool TerminalSession::startLog(const std::string& path, TerminalLog::Mode mode)
{
    stopLog();
    if (!m_log.start(path, mode)) {
        return false;
    }
    tap(mode == TerminalLog::Mode::Raw ? m_stream : nullptr);
    return true;
}

void TerminalSession::stopLog()
{
    // The tap goes first: once it is unset no receive thread writes to the log any more.
    tap(nullptr);
    m_log.stop();
}

void TerminalSession::tap(stream::IOSTStream* stream)
{
    if (stream == m_tapped) {
        return;
    }
    if (m_tapped) {
        m_tapped->setByteTap({});
    }
    m_tapped = stream;
    if (m_tapped) {
        m_tapped->setByteTap([this](std::span<const std::uint8_t> bytes) {
            m_log.write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        });
    }
}

bool TerminalSession::streamOpen() const
{
    // A client whose far side ended the connection keeps its transport attached, but closed.
    return m_stream && m_stream->isOpen() && m_stream->device() && m_stream->device()->isOpen();
}

void TerminalSession::suspend()
{
    m_automatic = false;
    if (m_active) {
        m_active = false;
        return;
    }
    resume();
}

void TerminalSession::resume()
{
    m_active = true;
    m_suspendBuffer.replay(m_sink);
}

bool TerminalSession::refreshState()
{
    const bool open = streamOpen();
    if (open && !m_active && m_automatic) {
        resume();
        return true;
    }
    if (!open && m_active) {
        m_active = false;
        m_automatic = true;
        return true;
    }
    return false;
}

void TerminalSession::onReceive(const stream::StreamEvent& event)
{
    if (!m_stream || event.stream != m_stream) {
        return;
    }
    if (event.kind == messages::MessageKind::Telecommand && event.text().starts_with(kTraceOutputPrefix)) {
        return;
    }
    display(event, Direction::Receive);
}

void TerminalSession::onSend(const stream::StreamEvent& event)
{
    if (!m_stream || event.stream != m_stream) {
        return;
    }
    display(event, Direction::Send);
}

void TerminalSession::display(const stream::StreamEvent& event, Direction direction)
{
    // Suspended by hand, the text goes to the suspend buffer; a closed stream shows nothing.
    if (m_active || !m_automatic) {
        if (m_settings.options.timeStamps) {
            LineStamper::format(std::chrono::system_clock::now(), m_stamp);
        }
        m_renderer.render(event, direction, m_settings.options, *this);
    }
    // The filters see every telecommand that passes, shown or not: a suspended screen still answers.
    if (event.kind == messages::MessageKind::Telecommand) {
        m_answerer.offer(event.text());
    }
}

void TerminalSession::show(std::uint32_t colour, std::string_view text)
{
    if (m_settings.options.timeStamps) {
        text = m_stamper.stamp(text, std::string_view(m_stamp, LineStamper::kStampLength));
    }
    if (m_log.running() && m_log.mode() == TerminalLog::Mode::Text) {
        m_log.write(text);
    }
    TerminalSink& to = m_active ? m_sink : m_suspendBuffer;
    to.show(colour, text);
}

bool TerminalSession::sendTelecommand(std::string_view text)
{
    if (m_sending) {
        return false;
    }
    const Flag sending(m_sending);
    const TelecommandTranslator::Result result = m_translator.translate(text);
    if (!result.ok()) {
        report(result.error);
        return false;
    }
    if (!m_settings.options.nmeaChecksum) {
        return m_sendStep.send(result.bytes) == PromptResult::Accept;
    }
    NmeaChecksum::complete(result.bytes, m_checksummed);
    return m_sendStep.send(m_checksummed) == PromptResult::Accept;
}

bool TerminalSession::sendFile(const std::string& path)
{
    if (m_sending) {
        return false;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        report(text::format(kFileMissing, path.c_str()));
        return false;
    }
    const Flag sending(m_sending);
    std::array<std::uint8_t, kFileBlockSize> block{};
    bool complete = true;
    for (bool first = true;; first = false) {
        const std::size_t count = std::fread(block.data(), 1, block.size(), file.get());
        if (count == 0) {
            // A folder opens but cannot be read: it is no file to send either.
            if (first && std::ferror(file.get())) {
                report(text::format(kFileMissing, path.c_str()));
                return false;
            }
            break;
        }
        if (m_sendStep.send(std::span<const std::uint8_t>(block.data(), count)) != PromptResult::Accept) {
            complete = false;
        }
    }
    return complete && !std::ferror(file.get());
}

void TerminalSession::loadInputFilters(const std::string& path)
{
    m_filters = InputFilterFile::load(path);
}

bool TerminalSession::applyInputFilters(const InputFilterList& filters, const std::string& path)
{
    m_filters = filters;
    return InputFilterFile::save(path, m_filters);
}

void TerminalSession::write(std::span<const std::uint8_t> bytes)
{
    if (!m_stream) {
        return;
    }
    m_stream->write(bytes.data(), bytes.size(), 0, stream::IOSTStream::kDefaultRetryDelayMs, true);
}

void TerminalSession::report(std::string_view message) const
{
    if (m_reporter) {
        m_reporter(message);
    }
}

} // namespace zeb::terminal
