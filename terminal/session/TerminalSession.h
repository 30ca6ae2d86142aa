#pragma once

#include "stream/StreamListener.h"
#include "terminal/core/PlaceholderStep.h"
#include "terminal/core/PromptHandler.h"
#include "terminal/core/TelecommandTranslator.h"
#include "terminal/filters/FilterAnswerer.h"
#include "terminal/filters/InputFilterFile.h"
#include "terminal/filters/InputFilterList.h"
#include "terminal/session/FileSender.h"
#include "terminal/session/LineStamper.h"
#include "terminal/session/MessageRenderer.h"
#include "terminal/session/PromptAnswerChannel.h"
#include "terminal/session/SuspendBuffer.h"
#include "terminal/session/TerminalLog.h"
#include "terminal/session/TerminalSettings.h"
#include "terminal/session/TerminalSink.h"

#include <cstddef>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream {
class IOSTStream;
class StreamEvent;
} // namespace zeb::stream

namespace zeb::terminal {

// The terminal's logic without its widgets, shared by the workbench's terminal view and the console
// terminal: which stream it shows, whether it is active, showing each message of that stream, sending typed
// telecommands and files through the placeholder step, and answering telecommands with the input filters.
//
// How events arrive is up to the owner: the view forwards its window messages to onReceive() and onSend();
// the console subscribes the session as a listener or forwards from a callback. The session neither
// subscribes nor unsubscribes. Every call, and every event, must come on one thread at a time; prompts and
// reports run on the calling thread.
//
// One prompt at a time: a telecommand that an input filter matches waits in a bounded queue while any
// prompt is open, and is asked about once the prompt has closed. With a prompt scheduler the filters never
// prompt inside an event: the scheduler is told, and the owner calls runPendingPrompts() later, so the
// stream's thread goes on meanwhile.
class TerminalSession : public stream::StreamListener, private PromptHandler, private TerminalSink
{
public:
    // Shows an error to the user (the view's message box); the text is valid only during the call.
    using Reporter = std::function<void(std::string_view message)>;

    static constexpr std::size_t kFileBlockSize = 1024;
    static constexpr std::string_view kTraceOutputPrefix = "$PKVR,DEBUG,TRACE,OUTPUT";
    static constexpr const char* kFileMissing = "File %s does not exist";
    static constexpr const char* kFileCut = "File %s was not sent completely: the stream closed";
    // Matched telecommands waiting for their prompt; further ones are dropped until the queue drains, so a
    // receiver repeating a sentence cannot pile up prompts.
    static constexpr std::size_t kMaxPendingPrompts = 8;

    // Starts inactive, with default settings (options from the application's settings) and no filters.
    TerminalSession(TerminalSink& sink, PromptHandler& prompt, Reporter reporter = {});
    ~TerminalSession() override;
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // The document's settings: stream number, options, button bar size (and its workspace lines).
    TerminalSettings& settings() { return m_settings; }
    const TerminalSettings& settings() const { return m_settings; }
    const TerminalOptions& options() const { return m_settings.options; }
    // The options replace the current ones. Only the options dialog's OK stores them in the application's
    // settings (the view does): a workspace's options stay with its own terminal.
    void applyOptions(const TerminalOptions& options);

    // The initial update: reads the input filters from their default file, then attaches to `stream`.
    void initialUpdate(stream::IOSTStream* stream);
    // Remembers the stream (null for none) and becomes active when it is open.
    void attach(stream::IOSTStream* stream);
    void detach();
    stream::IOSTStream* stream() const { return m_stream; }
    bool streamOpen() const;

    // Active: messages are shown. Suspend toggles by hand (the tool bar's checked state is !active()); what
    // arrives while suspended by hand is kept in a buffer of options().scrollBack lines and shown when the
    // terminal is active again.
    bool active() const { return m_active; }
    bool inactiveAutomatically() const { return m_automatic; }
    void suspend();
    // Lines kept for the resume while suspended by hand.
    int heldLines() const { return m_suspendBuffer.lineCount(); }
    // Follows the stream's open state: back to active when it is open again after going inactive by itself;
    // inactive (automatically) when it is closed. True when the state changed.
    bool refreshState();

    // Events of the attached stream; records of other streams are ignored.
    void onReceive(const stream::StreamEvent& event) override;
    void onSend(const stream::StreamEvent& event) override;

    // Called (on the event's thread) when a matched telecommand waits for runPendingPrompts(); none asks at
    // once, or as soon as the open prompt closes.
    void setPromptScheduler(std::function<void()> schedule) { m_schedule = std::move(schedule); }
    // Asks about the waiting telecommands one after the other, unless a prompt is open; drops them when the
    // stream is closed.
    void runPendingPrompts();
    std::size_t pendingPrompts() const { return m_pending.size(); }

    // The clear command (the view empties its screen itself).
    void clear();

    // The log file: text mode takes what is shown (time stamps included), raw mode every byte the attached
    // stream receives, as it comes. False, with the reason in log().takeError(), when it cannot be opened.
    bool startLog(const std::string& path, TerminalLog::Mode mode);
    void stopLog();
    TerminalLog& log() { return m_log; }

    // Translates the escapes, completes NMEA checksums when the option asks for it, and sends through the
    // placeholder step. False, with the error reported, for a
    // syntax error; false too when the user declined the prompt or another send is still prompting.
    bool sendTelecommand(std::string_view text);
    // Starts sending the file in blocks of kFileBlockSize bytes, each through the placeholder step, on a
    // sender thread that waits for the transport to take each block. A file that cannot be opened is
    // reported as "File %s does not exist" and nothing is sent; false too while a file is being sent.
    bool sendFile(const std::string& path);
    // Called on the sender's thread whenever the send moved on; the owner then calls continueFileSend() on
    // its own thread. Set before sendFile().
    void setFileNotifier(std::function<void()> moved) { m_fileMoved = std::move(moved); }
    // Reads and queues blocks while the sender has room; ends the send once the sender has finished.
    void continueFileSend();
    void cancelFileSend();
    // Cancels and waits for the sender's thread (serving the sends addressed to this thread meanwhile).
    void stopFileSend();
    bool sendingFile() const { return m_fileSender != nullptr; }
    // Bytes the transport accepted so far, and the file's size.
    std::uint64_t fileSent() const { return m_fileSender ? m_fileSender->sent() : 0; }
    std::uint64_t fileSize() const { return m_fileSender ? m_fileSender->total() : 0; }

    // The input filters: read from a ".ufl" file, edited by the filter editor, disabled by answers.
    InputFilterList& inputFilters() { return m_filters; }
    const InputFilterList& inputFilters() const { return m_filters; }
    void loadInputFilters(const std::string& path = InputFilterFile::defaultPath());
    // The filter editor's OK: the list replaces the current one and is written to `path`.
    bool applyInputFilters(const InputFilterList& filters, const std::string& path = InputFilterFile::defaultPath());

private:
    PromptResult prompt(std::vector<PromptRow>& rows) override;
    void display(const stream::StreamEvent& event, Direction direction);
    void show(std::uint32_t colour, std::string_view text) override;
    void resume();
    void tap(stream::IOSTStream* stream);
    void endFileSend();
    void offerToFilters(std::string_view text);
    void schedulePrompts();
    void write(std::span<const std::uint8_t> bytes);
    void report(std::string_view message) const;

    TerminalSink& m_sink;
    PromptHandler& m_prompt;
    Reporter m_reporter;
    std::function<void()> m_schedule;
    TerminalSettings m_settings;
    SuspendBuffer m_suspendBuffer;
    LineStamper m_stamper;
    char m_stamp[LineStamper::kStampLength + 1] = {};
    TerminalLog m_log;
    // The stream whose received bytes go to the raw log.
    stream::IOSTStream* m_tapped = nullptr;
    std::vector<std::uint8_t> m_checksummed;
    stream::IOSTStream* m_stream = nullptr;
    bool m_active = false;
    bool m_automatic = true;
    bool m_sending = false;
    bool m_prompting = false;
    bool m_answering = false;
    bool m_readingFile = false;
    std::deque<std::string> m_pending;

    MessageRenderer m_renderer;
    TelecommandTranslator m_translator;
    // Typed texts and files, and the filters' answers, each have a step of their own, with its own rows.
    PlaceholderStep m_sendStep;
    PlaceholderStep m_answerStep;
    PlaceholderStep m_fileStep;
    InputFilterList m_filters;
    PromptAnswerChannel m_channel;
    FilterAnswerer m_answerer;

    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::function<void()> m_fileMoved;
    std::string m_filePath;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::unique_ptr<FileSender> m_fileSender;
};

} // namespace zeb::terminal
