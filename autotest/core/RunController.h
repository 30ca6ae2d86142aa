// Compiles a test script, installs it into a fresh run and runs its main, either on the calling
// thread (the command line) or on a script thread of its own (the automatic test window).
#pragma once

#include "script/front/Diagnostic.h"
#include "script/front/SourceSpan.h"
#include "script/vm/Host.h"
#include "script/vm/OutputSink.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::autotest {

class RunController
{
public:
    // How long closing a window waits for a stopped script before leaving its end to the
    // script's own thread.
    static constexpr std::chrono::milliseconds kStopWait{2000};

    // How main ended (the script machine's own endings, kept here so that window code need not
    // see the machine's headers).
    enum class Result : std::uint8_t { Finished, NoMain, StackOverflow, Stopped, TimedOut, OutOfSteps };
    struct Limits
    {
        std::chrono::steady_clock::duration timeout{}; // zero: none
        std::uint64_t steps = 0; // zero: none
    };

    struct Compiled
    {
        bool ok = false;
        // "Syntax error at line #L:C" and where it stands (the editor's caret goes to the offset).
        std::string errorText;
        script::SourcePosition errorPosition;
        // Methods that parsed but could not be installed.
        std::vector<script::Diagnostic> diagnostics;
        bool hasMain = false;
        // The instructions of main, one line each ("0000 LINK 1\r\n..."); empty without main.
        std::string mainListing;
    };
    // Called on the script thread once main has ended and the run has ended with it.
    using Done = std::function<void(Result result)>;

    // The run writes into `output` and asks `host` for dialogs; both are shared with the script
    // thread, so that a thread left to end on its own never reaches a window that is gone.
    explicit RunController(std::shared_ptr<script::vm::OutputSink> output,
                           std::shared_ptr<script::vm::Host> host = nullptr);
    // Stops a running script and waits kStopWait for it; past that the script's thread ends the
    // run on its own.
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // Compiles `text` and, when it compiles, installs it into a new run. Refused (ok false, no
    // error text) while a script runs.
    const Compiled& prepare(std::string_view text);
    const Compiled& compiled() const { return m_compiled; }

    // Runs main of the prepared run on the calling thread; NoMain without a prepared run.
    Result runHere(const Limits& limits);
    Result runHere();
    // Starts main of the prepared run on a script thread; false without a main or a thread.
    bool start(Done done, const Limits& limits);
    bool start(Done done);
    // Asks the running script to stop at its next safepoint; returns at once.
    void stop();
    // Stops the script and waits up to `timeout` for its thread; true when none is left running.
    bool stopAndWait(std::chrono::milliseconds timeout);
    bool running() const;

private:
    class Session;

    // Ends the previous session: joined when it has ended, else left to end on its own thread.
    void release(std::chrono::milliseconds timeout);

    std::shared_ptr<script::vm::OutputSink> m_output;
    std::shared_ptr<script::vm::Host> m_host;
    Compiled m_compiled;
    std::unique_ptr<Session> m_session;
};

} // namespace zeb::autotest
