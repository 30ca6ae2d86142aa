// The recording engine: listens to the ports of a RecorderSettings, picks messages with its filters and writes
// them, tagged with their track letter, into a series of record files (or a "/dev/..." stream) while the schedule
// says so.
//
//   Recorder recorder(settings, documentStream);   // the document's stream is used, never opened or closed
//   if (auto refused = recorder.start(now)) show(*refused);
//   every second: recorder.tick(now);  show(recorder.statusText());
//
// start, stop, suspend, resume and tick belong to the owner's thread; messages arrive on the ports' receive
// threads. A receive thread builds its records in memory under the output lock (a RecordBacklog, bounded: a disk
// that does not keep up counts as a write failure); whichever thread takes the write turn (a receive thread once
// enough waits or at a rollover, the owner at each tick, suspend and stop) writes them without the lock, as the
// output's notifications may call back. A killed recorder therefore loses at most about a second of records, and
// every complete record before them reads back. A failed write stops writing and is reported once, from tick().
#pragma once

#include "messages/codecs/OutputBuffer.h"
#include "recorder/engine/RecordBacklog.h"
#include "recorder/engine/RepeatedMessages.h"
#include "recorder/files/FileSeriesStream.h"
#include "recorder/files/RecordNaming.h"
#include "recorder/schedule/Schedule.h"
#include "recorder/settings/RecordForm.h"
#include "recorder/settings/RecorderSettings.h"
#include "stream/StreamAddress.h"
#include "stream/StreamListener.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::connection {
class BackgroundOpen;
}

namespace zeb::recorder {

class Recorder : public stream::StreamListener
{
public:
    enum class State { Idle = 0, Waiting = 1, Recording = 2 };

    // `documentStream` (may be null) is the stream of the settings' port that is not saved, or of the port whose
    // identifier it has; the owner keeps it open for as long as the recorder lives.
    Recorder(RecorderSettings settings, stream::IOSTStream* documentStream = nullptr);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Arms the recorder; the message that refuses it (empty directory or base name, a refused schedule phrase).
    std::optional<std::string> start(std::int64_t now);
    // Closes the output and the ports the recorder opened; idle.
    void stop();
    // Writes nothing until resume(); the output stays open.
    void suspend();
    // Records again into the output left open by suspend(), or opens one if there is none.
    void resume();
    // Once a second: the ports (as servicePorts), the schedule, the status and a failure that waits to be told.
    void tick(std::int64_t now);
    // Takes on the connections a worker opened and opens again those whose far side hung up. What arrives before a
    // connection is taken on waits in its transport, and is lost if the far side hangs up meanwhile: the owner
    // calls this soon after the wake-up (setWake) rather than waiting for the next tick.
    void servicePorts();
    // Called on a worker thread once a connection attempt has ended; it should only post the owner a note to call
    // servicePorts() on its own thread. Set before start().
    void setWake(std::function<void()> wake) { m_wake = std::move(wake); }

    // Told once, on the owner's thread (from tick), that writing failed, or that the output could not be opened.
    void setFailureHandler(std::function<void(const std::string&)> handler) { m_onFailure = std::move(handler); }

    State state() const { return m_state.load(); }
    // "NO DISC", "WAITING", "NO DATA", "NO MATCH", "RECORDING" or "WRITE FAILED", as of the last tick.
    const std::string& statusText() const { return m_status; }
    // Every port has an open transport.
    bool portsOpen() const;
    // The level meter, 0-10, of the messages received in the last three ticks: 0 for none, 10 for 30 or more.
    int level() const { return m_level; }
    static int levelFor(std::uint64_t messages);
    // One line for a console: status, file, counts.
    std::string statusLine() const;
    // The current file as the window shows it: "<base name>#<index> (<size>)", the size in the largest unit below
    // 1024 ("512 b", "1.5 Kb", "2.0 Mb", "1.2 Gb").
    static std::string fileText(const std::string& baseName, unsigned index, std::uint64_t bytes);
    // "dd/mm/yyyy hh:mm:ss" in local time; empty for a time the calendar cannot show.
    static std::string dateText(std::int64_t time);
    std::string fileName() const;
    unsigned fileIndex() const { return m_fileIndex.load(); }
    std::uint64_t messagesReceived() const { return m_received.load(); }
    std::uint64_t messagesMatched() const { return m_matched.load(); }
    std::uint64_t bytesWritten() const { return m_bytes.load(); }
    const Schedule& schedule() const { return m_schedule; }
    const RecorderSettings& settings() const { return m_settings; }

    void onReceive(const stream::StreamEvent& event) override;

private:
    struct Port
    {
        Port();
        ~Port();
        Port(Port&&) noexcept;
        Port& operator=(Port&&) noexcept;

        stream::IOSTStream* stream = nullptr;
        std::unique_ptr<stream::IOSTStream> owned; // the ports the recorder opens itself
        // A connection the recorder keeps: opened, and opened again after the far side hung up, on a worker so
        // that the owner's thread never waits for the network.
        std::optional<stream::StreamAddress> address;
        std::unique_ptr<connection::BackgroundOpen> opening;
    };

    void openPorts();
    void closePorts();
    bool openOutput();
    void closeOutput();
    void startRecording();
    // Writes what waits, unless another thread is writing (it, or the next tick, takes what waits then).
    void drain();
    // With the write turn: writes what waits, without the output lock.
    void drainHeld();
    // The write turn for the owner, waited for (bounded): false when a write has hung meanwhile.
    bool waitForWriteTurn();
    void releaseWriteTurn();
    // With the write turn.
    bool openFile(unsigned from);
    // With the output lock held.
    void recordEvent(const stream::StreamEvent& event, std::size_t port);
    bool rollOver(std::size_t nextRecord);
    bool writeMessage(std::uint8_t tag, std::span<const std::uint8_t> data);
    bool writeRecord(std::uint8_t tag, std::span<const std::uint8_t> data);
    // The held repeated messages the settings ask for, at the start of a file.
    bool writeRepeated();
    bool startFile(const std::string& name);
    void keepRepeated(const stream::StreamEvent& event, std::size_t port);
    bool writeLine(const std::string& text);
    bool failed();
    std::span<const std::uint8_t> convert(RecordForm form, messages::MessageKind kind, messages::MessageType type,
                                          std::span<const std::uint8_t> received);
    int portOf(const stream::IOSTStream* stream) const;
    // Milliseconds from start() to `at`, the clock's now for an unset time; 0 before start().
    std::uint32_t elapsedMs(std::chrono::steady_clock::time_point at = {}) const;
    void updateStatus();

    RecorderSettings m_settings;
    stream::IOSTStream* m_documentStream;
    RecordNaming m_naming;
    Schedule m_schedule;
    bool m_armed = false;
    std::atomic<State> m_state{State::Idle};
    std::chrono::steady_clock::time_point m_started;
    std::string m_status = "NO DISC";
    std::function<void(const std::string&)> m_onFailure;
    std::function<void()> m_wake;
    bool m_openFailed = false;

    // The thread that holds it alone writes: it owns m_output, m_lastClosed and m_writing.
    std::atomic<bool> m_writeTurn{false};
    std::unique_ptr<FileSeriesStream> m_output;
    std::string m_lastClosed;
    RecordBacklog m_writing; // what the turn's holder is writing

    mutable std::mutex m_outputMutex; // the ports, the records that wait and the fields below them
    std::vector<Port> m_ports; // by settings port index
    RecordBacklog m_backlog;
    bool m_outputOpen = false;
    std::string m_currentName; // the file the next record goes to
    std::uint32_t m_recordMs = 0; // the time of the records being made: the message's arrival
    std::uint64_t m_fileBytes = 0; // what it holds once what waits is written, as the series counts it
    std::atomic<unsigned> m_fileIndex{1};
    bool m_writeFailed = false;
    codecs::OutputBuffer m_converted;
    RepeatedMessages m_repeated;

    std::atomic<bool> m_failurePending{false};
    std::atomic<int> m_inReceive{0};
    // Changed with the output lock held.
    std::atomic<std::uint64_t> m_seen{0}; // complete messages from the ports, recording or not
    std::atomic<std::uint64_t> m_received{0};
    std::atomic<std::uint64_t> m_matched{0};
    std::atomic<std::uint64_t> m_bytes{0};
    std::uint64_t m_seenAtTick = 0;
    std::array<std::uint64_t, 3> m_seenByTick{}; // messages seen in each of the last three ticks
    std::size_t m_tickSlot = 0;
    int m_level = 0;
    std::uint64_t m_matchedAtTick = 0;
};

} // namespace zeb::recorder
