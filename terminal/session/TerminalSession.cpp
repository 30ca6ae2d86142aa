#include "terminal/session/TerminalSession.h"

#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "text/Format.h"

#include <array>
#include <filesystem>

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
}

void TerminalSession::initialUpdate(stream::IOSTStream* stream)
{
    loadInputFilters();
    attach(stream);
}

void TerminalSession::attach(stream::IOSTStream* stream)
{
    m_stream = stream;
    if (streamOpen()) {
        m_active = true;
    }
}

bool TerminalSession::streamOpen() const
{
    // A client whose far side ended the connection keeps its transport attached, but closed.
    return m_stream && m_stream->isOpen() && m_stream->device() && m_stream->device()->isOpen();
}

void TerminalSession::suspend()
{
    m_active = !m_active;
    m_automatic = false;
}

bool TerminalSession::refreshState()
{
    const bool open = streamOpen();
    if (open && !m_active && m_automatic) {
        m_active = true;
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
    show(event, Direction::Receive);
}

void TerminalSession::onSend(const stream::StreamEvent& event)
{
    if (!m_stream || event.stream != m_stream) {
        return;
    }
    show(event, Direction::Send);
}

void TerminalSession::show(const stream::StreamEvent& event, Direction direction)
{
    if (m_active) {
        m_renderer.render(event, direction, m_settings.options, m_sink);
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
    bool sent = false;
    {
        const Flag sending(m_sending);
        sent = m_sendStep.send(result.bytes) == PromptResult::Accept;
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
