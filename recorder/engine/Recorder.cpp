#include "recorder/engine/Recorder.h"

#include "app/connection/BackgroundOpen.h"
#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/DataWordCodec.h"
#include "messages/codecs/MessageCodec.h"
#include "recorder/schedule/LocalTime.h"
#include "recorder/schedule/ScheduleParser.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <thread>
#include <utility>

namespace zeb::recorder {

namespace {

using stream::StreamStatus;

// Counts a receive notification in progress, so that the recorder is not destroyed under it.
class ReceiveGuard
{
public:
    explicit ReceiveGuard(std::atomic<int>& count)
        : m_count(count)
    {
        m_count.fetch_add(1);
    }
    ~ReceiveGuard() { m_count.fetch_sub(1); }
    ReceiveGuard(const ReceiveGuard&) = delete;
    ReceiveGuard& operator=(const ReceiveGuard&) = delete;

private:
    std::atomic<int>& m_count;
};

RecordNaming::LocalTime nowFields()
{
    return RecordNaming::LocalTime::now();
}

// Counters changed only with the output lock held, read by the owner without it: a plain store is enough, and
// spares each message a locked instruction.
void countUnderLock(std::atomic<std::uint64_t>& counter)
{
    counter.store(counter.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// A receive thread writes once this much waits; below it, the owner's next tick writes.
constexpr std::size_t kWriteBytes = std::size_t{64} * 1024;
// Rounds of one write turn: a thread that keeps finding more waiting leaves the rest to the next turn.
constexpr int kWriteRounds = 4;
// How long the owner waits for a write in progress (1 ms steps), as for a notification in progress.
constexpr int kTurnWaitMs = 5000;

} // namespace

Recorder::Port::Port() = default;
Recorder::Port::~Port() = default;
Recorder::Port::Port(Port&&) noexcept = default;
Recorder::Port& Recorder::Port::operator=(Port&&) noexcept = default;

Recorder::Recorder(RecorderSettings settings, stream::IOSTStream* documentStream)
    : m_settings(std::move(settings))
    , m_documentStream(documentStream)
{
    m_naming.directory = m_settings.directory;
    m_naming.baseName = m_settings.baseName;
    m_naming.convention = m_settings.indexation;
    m_naming.extension = m_settings.extension;
}

Recorder::~Recorder()
{
    stop();
    // A notification that passed the listener's state before it was disabled may still run: wait for it, bounded,
    // as it only writes one record.
    for (int i = 0; i < 5000 && m_inReceive.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::optional<std::string> Recorder::start(std::int64_t now)
{
    if (m_armed)
        return std::nullopt;
    if (m_settings.directory.empty() && !m_settings.outputsToStream())
        return std::string("Enter a directory please");
    if (m_settings.baseName.empty())
        return std::string("Enter a basename please");
    const ScheduleParser parser;
    auto schedule = parser.parse(m_settings.startText + " for " + m_settings.durationText, now);
    if (!schedule)
        return std::string(parser.syntaxMessage());
    m_schedule = *schedule;
    m_armed = true;
    m_started = std::chrono::steady_clock::now();
    m_state = State::Waiting;
    openPorts();
    tick(now);
    return std::nullopt;
}

void Recorder::stop()
{
    m_armed = false;
    m_state = State::Idle;
    closePorts();
    closeOutput();
    updateStatus();
}

void Recorder::suspend()
{
    if (m_state == State::Recording)
        m_state = State::Waiting;
    drain();
}

void Recorder::resume()
{
    if (m_armed && m_state == State::Waiting)
        startRecording();
}

void Recorder::tick(std::int64_t now)
{
    servicePorts();
    drain();
    if (m_armed) {
        switch (m_schedule.evaluate(now)) {
        case ScheduleAction::Start:
            startRecording();
            break;
        case ScheduleAction::StopAndWait:
            suspend();
            break;
        case ScheduleAction::Finish:
            stop();
            break;
        case ScheduleAction::Nothing:
            break;
        }
    }
    updateStatus();
    if (!m_onFailure)
        return;
    if (m_failurePending.exchange(false))
        m_onFailure("Write failed: " + fileName());
    if (std::exchange(m_openFailed, false))
        m_onFailure("Open stream failed");
}

void Recorder::startRecording()
{
    bool open = false;
    {
        const std::lock_guard lock(m_outputMutex);
        open = m_outputOpen;
    }
    if (!open && !openOutput()) {
        // Armed without output: nothing is written until the next start.
        m_openFailed = true;
        return;
    }
    m_state = State::Recording;
}

void Recorder::drain()
{
    if (m_writeTurn.exchange(true, std::memory_order_acquire))
        return;
    drainHeld();
    releaseWriteTurn();
}

void Recorder::drainHeld()
{
    for (int round = 0; round < kWriteRounds; ++round) {
        {
            const std::lock_guard lock(m_outputMutex);
            if (m_backlog.empty())
                return;
            m_backlog.swap(m_writing);
        }
        const bool written = m_output && m_writing.writeTo(*m_output);
        m_writing.clear();
        if (m_output)
            m_bytes = m_output->bytesWritten();
        if (!written) {
            const std::lock_guard lock(m_outputMutex);
            m_backlog.clear();
            failed();
            return;
        }
    }
}

bool Recorder::waitForWriteTurn()
{
    for (int i = 0; i < kTurnWaitMs; ++i) {
        if (!m_writeTurn.exchange(true, std::memory_order_acquire))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void Recorder::releaseWriteTurn()
{
    m_writeTurn.store(false, std::memory_order_release);
}

void Recorder::openPorts()
{
    // Opening may take seconds (a connection): the lock is taken only to publish the list.
    std::vector<Port> ports(m_settings.ports.size());
    for (std::size_t i = 0; i < m_settings.ports.size(); ++i) {
        const RecorderPort& port = m_settings.ports[i];
        const bool document = m_documentStream
            && (!port.saved || static_cast<std::uint32_t>(m_documentStream->identifier()) == port.identifier);
        if (document) {
            ports[i].stream = m_documentStream;
            continue;
        }
        // An address that cannot be opened leaves the port silent: the status shows it.
        auto owned = std::make_unique<stream::IOSTStream>(stream::IOSTStream::kAnonymous);
        stream::StreamAddress address;
        const stream::OpenTarget target = stream::parseOpenText(port.address, address);
        if (target == stream::OpenTarget::Refused)
            continue;
        if (target == stream::OpenTarget::Address) {
            ports[i].address = address;
            ports[i].opening = std::make_unique<connection::BackgroundOpen>(address, m_wake);
        } else if (owned->open(port.address, "rb") != StreamStatus::Ok) {
            continue;
        }
        ports[i].stream = owned.get();
        ports[i].owned = std::move(owned);
    }
    for (const Port& port : ports) {
        if (!port.stream)
            continue;
        if (port.stream->listenerState(this))
            port.stream->setListenerState(this, stream::SubscriberState::Enabled);
        else
            port.stream->subscribeListener(this);
    }
    const std::lock_guard lock(m_outputMutex);
    m_ports = std::move(ports);
}

void Recorder::servicePorts()
{
    // Only this thread changes the list, so it is read here without the lock; the receive threads read only the
    // stream pointers, which stay.
    for (Port& port : m_ports) {
        if (!port.owned || !port.address)
            continue;
        if (port.opening) {
            if (!port.opening->finished())
                continue;
            std::unique_ptr<stream::StreamDevice> device = port.opening->take();
            port.opening.reset();
            if (device)
                port.owned->attachOpened(std::move(device), *port.address);
            continue;
        }
        const stream::StreamDevice* device = port.owned->device();
        if (device && device->isOpen())
            continue;
        if (device)
            port.owned->close(); // the far side hung up: the dead transport goes
        port.opening = std::make_unique<connection::BackgroundOpen>(*port.address, m_wake);
    }
}

bool Recorder::portsOpen() const
{
    return std::all_of(m_ports.begin(), m_ports.end(), [](const Port& port) {
        return port.stream && port.stream->device() && port.stream->device()->isOpen();
    });
}

void Recorder::closePorts()
{
    std::vector<Port> ports;
    {
        const std::lock_guard lock(m_outputMutex);
        ports.swap(m_ports);
    }
    for (Port& port : ports) {
        if (!port.stream)
            continue;
        port.stream->setListenerState(this, stream::SubscriberState::Disabled);
        if (port.owned)
            port.owned->close();
    }
    // A receive thread that was inside onReceive when the list went finds no port and leaves; the streams go once
    // none is left inside.
    for (int i = 0; i < 5000 && m_inReceive.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool Recorder::openOutput()
{
    if (!waitForWriteTurn())
        return false;
    m_output = std::make_unique<FileSeriesStream>();
    bool opened = false;
    if (m_settings.outputsToStream()) {
        m_output->setFramed(true);
        opened = m_output->openFile(m_settings.baseName, "wb") == StreamStatus::Ok;
    } else {
        m_output->setFramed(m_settings.format == 1);
        m_output->setExtension(m_settings.extension);
        opened = openFile(m_fileIndex);
    }
    if (!opened) {
        m_output.reset();
        releaseWriteTurn();
        return false;
    }
    m_bytes = m_output->bytesWritten();
    {
        const std::lock_guard lock(m_outputMutex);
        m_writeFailed = false;
        m_outputOpen = true;
        m_backlog.clear();
        m_backlog.setFramed(m_output->isFramed());
        m_currentName = m_output->fileName();
        m_fileBytes = m_output->bytesWritten();
        m_recordMs = elapsedMs();
        startFile(m_currentName);
    }
    drainHeld();
    releaseWriteTurn();
    return true;
}

bool Recorder::openFile(unsigned from)
{
    const auto free = m_naming.firstFree(from, nowFields());
    if (!free)
        return false;
    m_fileIndex = free->first;
    m_output->setFileIndex(free->first);
    if (!m_lastClosed.empty())
        m_output->setPrevious(m_lastClosed);
    return m_output->openFile(free->second, "wb") == StreamStatus::Ok;
}

void Recorder::closeOutput()
{
    {
        const std::lock_guard lock(m_outputMutex);
        if (!m_outputOpen)
            return;
        m_outputOpen = false; // nothing more is added
        m_currentName.clear();
    }
    // A write that hangs beyond the wait keeps the output; the next open waits for it again.
    if (!waitForWriteTurn())
        return;
    drainHeld();
    bool writeFailed = false;
    {
        const std::lock_guard lock(m_outputMutex);
        writeFailed = m_writeFailed;
        m_backlog.clear();
    }
    if (!m_settings.outputsToStream() && !writeFailed) {
        if (const auto next = m_naming.firstFree(m_fileIndex + 1, nowFields()))
            m_output->setNext(next->second);
    }
    m_lastClosed = m_output->fileName();
    m_output->close();
    m_output.reset();
    // The next period continues the series after the file just closed.
    ++m_fileIndex;
    releaseWriteTurn();
}

bool Recorder::writeLine(const std::string& text)
{
    if (m_settings.format != 1 && !m_settings.outputsToStream())
        return true;
    std::string line = text;
    line.push_back('\0');
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
    const auto header = RecordHeader::text(m_recordMs, static_cast<std::uint32_t>(line.size()), false);
    if (!m_backlog.append(header, {bytes, line.size()}))
        return failed();
    m_fileBytes += line.size() + RecordHeader::kSize;
    return true;
}

bool Recorder::failed()
{
    if (!m_writeFailed) {
        m_writeFailed = true;
        m_failurePending = true;
    }
    return false;
}

bool Recorder::rollOver(std::size_t nextRecord)
{
    if (m_settings.outputsToStream() || m_fileBytes == 0
        || m_fileBytes + nextRecord + RecordHeader::kSize < m_settings.sizeLimit())
        return true;
    // The next file is made when the records before the cut have been written, by whichever thread writes them.
    const auto next = m_naming.firstFree(m_fileIndex + 1, nowFields());
    if (!next)
        return failed();
    if (!writeLine("continue " + next->second))
        return false;
    m_backlog.cut(next->first, next->second);
    m_fileBytes = m_backlog.framed() ? FileSeriesStream::headerLinesSize(m_currentName) : 0;
    m_currentName = next->second;
    m_fileIndex = next->first;
    return startFile(next->second);
}

bool Recorder::startFile(const std::string& name)
{
    return writeLine("start " + name) && writeRepeated();
}

bool Recorder::writeRepeated()
{
    bool ok = true;
    for (std::size_t i = 0; i < RecorderSettings::kOutputKinds.size(); ++i) {
        if (m_settings.outputs[i] == 0)
            continue;
        m_repeated.forEach(RecorderSettings::kOutputKinds[i], [&](const RepeatedMessages::Held& held) {
            for (const RecorderFilter& filter : m_settings.filters) {
                if (!ok || filter.port != held.port || filter.track >= m_settings.tracks.size())
                    continue;
                const RecordForm form = recordForm(filter, held.kind, held.type);
                const auto data = form == RecordForm::None ? std::span<const std::uint8_t>()
                                                           : convert(form, held.kind, held.type, held.bytes);
                if (!data.empty())
                    ok = writeRecord(static_cast<std::uint8_t>(m_settings.tracks[filter.track].front()), data);
            }
        });
    }
    return ok;
}

bool Recorder::writeMessage(std::uint8_t tag, std::span<const std::uint8_t> data)
{
    return rollOver(data.size()) && writeRecord(tag, data);
}

bool Recorder::writeRecord(std::uint8_t tag, std::span<const std::uint8_t> data)
{
    const auto header = RecordHeader::message(tag, m_recordMs, static_cast<std::uint32_t>(data.size()));
    if (!m_backlog.append(header, data))
        return failed();
    m_fileBytes += m_backlog.framed() ? data.size() + RecordHeader::kSize : data.size();
    return true;
}

std::span<const std::uint8_t> Recorder::convert(RecordForm form, messages::MessageKind kind, messages::MessageType type,
                                                std::span<const std::uint8_t> received)
{
    if (form == RecordForm::AsReceived)
        return received;
    auto codec = codecs::CodecRegistry::instance().lease(kind, type);
    if (!codec || codec->decode(received) != 0)
        return {};
    const int status = form == RecordForm::Text ? codec->renderText(m_converted) : codec->renderBinary(m_converted);
    if (status != 0 || m_converted.overflowed())
        return {};
    return m_converted.bytes();
}

int Recorder::portOf(const stream::IOSTStream* stream) const
{
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        if (m_ports[i].stream == stream)
            return static_cast<int>(i);
    }
    return -1;
}

void Recorder::onReceive(const stream::StreamEvent& event)
{
    const ReceiveGuard guard(m_inReceive);
    if (event.status != messages::ReadStatus::Complete)
        return;
    bool write = false;
    {
        const std::lock_guard lock(m_outputMutex);
        countUnderLock(m_seen);
        const int port = portOf(event.stream);
        if (port < 0)
            return;
        recordEvent(event, static_cast<std::size_t>(port));
        write = m_backlog.size() >= kWriteBytes || m_backlog.hasCut();
    }
    if (write)
        drain();
}

void Recorder::recordEvent(const stream::StreamEvent& event, std::size_t port)
{
    keepRepeated(event, port);
    if (m_state != State::Recording || !m_outputOpen || m_writeFailed)
        return;
    countUnderLock(m_received);
    m_recordMs = elapsedMs(event.arrival);
    for (const RecorderFilter& filter : m_settings.filters) {
        if (filter.port != port || filter.track >= m_settings.tracks.size())
            continue;
        const RecordForm form = recordForm(filter, event.kind, event.type);
        if (form == RecordForm::None)
            continue;
        const auto data = convert(form, event.kind, event.type, {event.data(), event.length()});
        if (data.empty())
            continue; // a frame the codecs cannot convert is not recorded in that form
        countUnderLock(m_matched);
        const auto tag = static_cast<std::uint8_t>(m_settings.tracks[filter.track].front());
        if (!writeMessage(tag, data))
            return;
    }
}

void Recorder::keepRepeated(const stream::StreamEvent& event, std::size_t port)
{
    if (!RepeatedMessages::isRepeated(event.kind, event.type))
        return;
    const std::span<const std::uint8_t> bytes(event.data(), event.length());
    unsigned satellite = 0;
    if (RepeatedMessages::needsSatellite(event.type)) {
        auto codec = codecs::CodecRegistry::instance().lease(event.kind, event.type);
        const auto* words = codec ? dynamic_cast<const codecs::DataWordCodec*>(&*codec) : nullptr;
        if (!words || codec->decode(bytes) != 0)
            return;
        satellite = static_cast<unsigned>(words->satellite() + 1); // index 0-31 for satellites 1-32
    }
    m_repeated.keep(bytes, event.kind, event.type, port, satellite);
}

std::uint32_t Recorder::elapsedMs(std::chrono::steady_clock::time_point at) const
{
    if (at == std::chrono::steady_clock::time_point{})
        at = std::chrono::steady_clock::now();
    // A block that arrived while the recorder was being started is counted from the start.
    if (at <= m_started)
        return 0;
    const auto elapsed = at - m_started;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::string Recorder::fileName() const
{
    const std::lock_guard lock(m_outputMutex);
    return m_currentName;
}

void Recorder::updateStatus()
{
    const std::uint64_t seen = m_seen.load();
    const std::uint64_t matched = m_matched.load();
    bool writeFailed = false;
    {
        const std::lock_guard lock(m_outputMutex);
        writeFailed = m_writeFailed;
    }
    if (m_state == State::Idle)
        m_status = "NO DISC";
    else if (m_state == State::Waiting)
        m_status = "WAITING";
    else if (writeFailed)
        m_status = "WRITE FAILED";
    else if (seen == m_seenAtTick)
        m_status = "NO DATA";
    else
        m_status = matched != m_matchedAtTick ? "RECORDING" : "NO MATCH";
    m_seenByTick[m_tickSlot] = seen - m_seenAtTick;
    m_tickSlot = (m_tickSlot + 1) % m_seenByTick.size();
    m_level = levelFor(m_seenByTick[0] + m_seenByTick[1] + m_seenByTick[2]);
    m_seenAtTick = seen;
    m_matchedAtTick = matched;
}

int Recorder::levelFor(std::uint64_t messages)
{
    if (messages == 0)
        return 0;
    if (messages >= 30)
        return 10;
    return static_cast<int>(std::floor(11.0 - std::log2(30.0 / static_cast<double>(messages))));
}

std::string Recorder::statusLine() const
{
    char line[64];
    std::snprintf(line, sizeof line, " #%u %" PRIu64 " received %" PRIu64 " matched %" PRIu64 " bytes", fileIndex(),
                  messagesReceived(), messagesMatched(), bytesWritten());
    return m_status + " " + fileName() + line;
}

std::string Recorder::fileText(const std::string& baseName, unsigned index, std::uint64_t bytes)
{
    static constexpr std::array<const char*, 4> kUnits = {"b", "Kb", "Mb", "Gb"};
    auto size = static_cast<double>(bytes);
    std::size_t unit = 0;
    for (; unit + 1 < kUnits.size() && size >= 1024.0; ++unit)
        size /= 1024.0;
    char text[48];
    std::snprintf(text, sizeof text, unit == 0 ? "#%u (%.0f %s)" : "#%u (%.1f %s)", index, size, kUnits[unit]);
    return baseName + text;
}

std::string Recorder::dateText(std::int64_t time)
{
    const auto fields = LocalTime::fields(time);
    if (!fields)
        return {};
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", fields->day, fields->month, fields->year,
                  fields->hour, fields->minute, fields->second);
    return text;
}

} // namespace zeb::recorder
