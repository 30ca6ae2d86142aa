#include "terminal/session/TerminalSession.h"

#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "terminal/core/NmeaChecksum.h"
#include "text/Format.h"

#include <array>
#include <filesystem>
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

} // namespace

TerminalSession::TerminalSession(TerminalSink& sink, PromptHandler& prompt, Reporter reporter)
    : m_sink(sink)
    , m_prompt(prompt)
    , m_reporter(std::move(reporter))
    , m_settings(TerminalSettings::fromSettings())
    , m_suspendBuffer(m_settings.options.scrollBack)
    , m_sendStep(*this, [this](std::span<const std::uint8_t> bytes) { write(bytes); })
    , m_answerStep(*this,
                   [this](std::span<const std::uint8_t> bytes) {
                       // An answer is never offered to the filters: it would answer itself for ever.
                       const Flag answering(m_answering);
                       write(bytes);
                   })
    , m_fileStep(*this,
                 [this](std::span<const std::uint8_t> bytes) {
                     if (m_fileSender)
                         m_fileSender->push(bytes);
                 })
    , m_channel(*this, m_answerStep)
    , m_answerer(m_filters, m_channel)
{
}

TerminalSession::~TerminalSession()
{
    stopLog();
    stopFileSend();
}

void TerminalSession::stopFileSend()
{
    m_file.reset();
    if (!m_fileSender) {
        return;
    }
    m_fileSender->cancel();
    if (!m_fileSender->cannotJoinFromHere()) {
        m_fileSender.reset();
        return;
    }
    // Called inside a notification the sender's thread waits on: that thread ends the sender.
    FileSender* sender = m_fileSender.release();
    if (!sender->handOff([sender] { delete sender; })) {
        delete sender;
    }
}

void TerminalSession::applyOptions(const TerminalOptions& options)
{
    m_settings.options = options;
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
        offerToFilters(event.text());
    }
}

void TerminalSession::offerToFilters(std::string_view text)
{
    // Only a match copies the telecommand: the receive path allocates nothing otherwise.
    if (m_answering || m_filters.firstMatch(FilterAnswerer::sentenceOf(text)) == InputFilterList::npos) {
        return;
    }
    if (m_pending.size() >= kMaxPendingPrompts) {
        return;
    }
    m_pending.emplace_back(text);
    schedulePrompts();
}

void TerminalSession::schedulePrompts()
{
    if (m_prompting || m_pending.empty()) {
        return;
    }
    if (m_schedule) {
        m_schedule();
    } else {
        runPendingPrompts();
    }
}

void TerminalSession::runPendingPrompts()
{
    while (!m_prompting && !m_pending.empty()) {
        if (!streamOpen()) {
            m_pending.clear();
            return;
        }
        const std::string text = std::move(m_pending.front());
        m_pending.pop_front();
        m_answerer.offer(text);
    }
}

PromptResult TerminalSession::prompt(std::vector<PromptRow>& rows)
{
    const Flag prompting(m_prompting);
    return m_prompt.prompt(rows);
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
    const TelecommandTranslator::Result result = m_translator.translate(text);
    if (!result.ok()) {
        report(result.error);
        return false;
    }
    std::span<const std::uint8_t> bytes = result.bytes;
    if (m_settings.options.nmeaChecksum) {
        NmeaChecksum::complete(result.bytes, m_checksummed);
        bytes = m_checksummed;
    }
    bool sent = false;
    {
        const Flag sending(m_sending);
        sent = m_sendStep.send(bytes) == PromptResult::Accept;
    }
    // What matched while the send prompted gets its turn now.
    schedulePrompts();
    return sent;
}

bool TerminalSession::sendFile(const std::string& path)
{
    if (m_sending || m_fileSender || !m_stream) {
        return false;
    }
    std::error_code error;
    // A folder opens but cannot be read: it is no file to send either.
    const std::uint64_t size = std::filesystem::file_size(path, error);
    std::unique_ptr<std::FILE, FileCloser> file(error ? nullptr : std::fopen(path.c_str(), "rb"));
    if (!file) {
        report(text::format(kFileMissing, path.c_str()));
        return false;
    }
    m_filePath = path;
    m_file = std::move(file);
    m_fileSender = std::make_unique<FileSender>(
        *m_stream, size, m_fileMoved ? m_fileMoved : [] {});
    if (m_fileSender->start() != platform::WorkerThread::kStatusOk) {
        stopFileSend();
        report(text::format(kFileCut, path.c_str()));
        return false;
    }
    continueFileSend();
    return true;
}

void TerminalSession::continueFileSend()
{
    // A block's prompt serves events, which may ask to continue again.
    if (!m_fileSender || m_readingFile) {
        return;
    }
    {
        const Flag reading(m_readingFile);
        std::array<std::uint8_t, kFileBlockSize> block{};
        // A prompt may have stopped the send meanwhile.
        while (m_file && m_fileSender && m_fileSender->hasRoom()) {
            const std::size_t count = std::fread(block.data(), 1, block.size(), m_file.get());
            if (count == 0) {
                m_file.reset();
                m_fileSender->finishInput();
                break;
            }
            // A block whose prompt the user declines is left out, as a typed send would be.
            m_fileStep.send(std::span<const std::uint8_t>(block.data(), count));
        }
    }
    if (m_fileSender && m_fileSender->state() != FileSender::State::Sending) {
        endFileSend();
    }
}

void TerminalSession::cancelFileSend()
{
    if (!m_fileSender) {
        return;
    }
    m_file.reset();
    m_fileSender->cancel();
}

void TerminalSession::endFileSend()
{
    const bool failed = m_fileSender->state() == FileSender::State::Failed;
    m_fileSender.reset();
    m_file.reset();
    if (failed) {
        report(text::format(kFileCut, m_filePath.c_str()));
    }
    schedulePrompts();
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
