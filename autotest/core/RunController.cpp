#include "autotest/core/RunController.h"

#include "platform/WorkerThread.h"
#include "script/front/Compiler.h"
#include "script/front/Listing.h"
#include "script/front/ScriptImage.h"
#include "script/vm/Machine.h"
#include "script/vm/Run.h"

namespace zeb::autotest {

using script::vm::Run;

namespace {

RunController::Result resultOf(Run::Result result)
{
    switch (result) {
    case Run::Result::Finished:
        return RunController::Result::Finished;
    case Run::Result::NoMain:
        return RunController::Result::NoMain;
    case Run::Result::StackOverflow:
        return RunController::Result::StackOverflow;
    case Run::Result::Stopped:
        return RunController::Result::Stopped;
    case Run::Result::TimedOut:
        return RunController::Result::TimedOut;
    case Run::Result::OutOfSteps:
        return RunController::Result::OutOfSteps;
    }
    return RunController::Result::Finished;
}

Run::Limits limitsOf(const RunController::Limits& limits)
{
    Run::Limits converted;
    converted.timeout = limits.timeout;
    converted.steps = limits.steps;
    return converted;
}

} // namespace

// One run with its own machine, so that a run left to end on its thread shares nothing with
// the next one. The output and host are shared with the controller for the same reason.
class RunController::Session : public platform::WorkerThread
{
public:
    Session(std::shared_ptr<script::vm::OutputSink> output, std::shared_ptr<script::vm::Host> host)
        : WorkerThread("script main")
        , m_output(std::move(output))
        , m_host(std::move(host))
        , m_run(m_machine, *m_output, m_host.get())
    {
    }
    ~Session() override { terminate(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Run& scriptRun() { return m_run; }
    void prepareStart(Done done, const Limits& limits)
    {
        m_done = std::move(done);
        m_limits = limits;
        m_started = true;
    }
    bool started() const { return m_started; }

protected:
    int run() override
    {
        const Result result = resultOf(m_run.runMain(limitsOf(m_limits)));
        if (m_done)
            m_done(result);
        return 0;
    }
    void interrupt() override { m_run.stop(); }

private:
    std::shared_ptr<script::vm::OutputSink> m_output;
    std::shared_ptr<script::vm::Host> m_host;
    script::vm::Machine m_machine;
    Run m_run;
    Done m_done;
    Limits m_limits;
    bool m_started = false;
};

RunController::RunController(std::shared_ptr<script::vm::OutputSink> output, std::shared_ptr<script::vm::Host> host)
    : m_output(std::move(output))
    , m_host(std::move(host))
{
}

RunController::~RunController()
{
    release(kStopWait);
}

const RunController::Compiled& RunController::prepare(std::string_view text)
{
    m_compiled = Compiled{};
    if (running())
        return m_compiled;
    release(kStopWait);
    script::Compiler compiler;
    if (!compiler.compile(text)) {
        m_compiled.errorText = compiler.errorText();
        m_compiled.errorPosition = compiler.errorPosition();
        return m_compiled;
    }
    m_compiled.ok = true;
    script::ScriptImage image;
    (void)compiler.install(image);
    if (const script::CompiledMethod* main = image.method("main")) {
        m_compiled.hasMain = true;
        m_compiled.mainListing = script::Listing::of(*main);
    }
    m_session = std::make_unique<Session>(m_output, m_host);
    m_compiled.diagnostics = compiler.install(m_session->scriptRun());
    return m_compiled;
}

RunController::Result RunController::runHere(const Limits& limits)
{
    if (!m_session || m_session->started())
        return Result::NoMain;
    m_session->prepareStart({}, limits);
    return resultOf(m_session->scriptRun().runMain(limitsOf(limits)));
}

bool RunController::start(Done done, const Limits& limits)
{
    if (!m_session || m_session->started() || !m_compiled.hasMain)
        return false;
    m_session->prepareStart(std::move(done), limits);
    return m_session->start() == platform::WorkerThread::kStatusOk;
}

RunController::Result RunController::runHere()
{
    return runHere(Limits{});
}

bool RunController::start(Done done)
{
    return start(std::move(done), Limits{});
}

void RunController::stop()
{
    if (m_session)
        m_session->scriptRun().stop();
}

bool RunController::stopAndWait(std::chrono::milliseconds timeout)
{
    if (!m_session)
        return true;
    stop();
    return m_session->terminate(timeout) || !m_session->isRunning();
}

bool RunController::running() const
{
    return m_session && m_session->isRunning();
}

void RunController::release(std::chrono::milliseconds timeout)
{
    if (!m_session)
        return;
    if (stopAndWait(timeout)) {
        m_session.reset();
        return;
    }
    // Still running: its own thread deletes it once main has returned.
    Session* session = m_session.release();
    if (!session->handOff([session] { delete session; }))
        delete session;
}

} // namespace zeb::autotest
