#include "terminal/session/TerminalLog.h"

#include "text/Format.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace zeb::terminal {

// Shared by the log and its writer thread, which may outlive the log when the disk hangs at stop.
struct TerminalLog::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::string pending;
    std::string path;
    std::string error;
    std::size_t lost = 0;
    bool stopping = false;
    bool failed = false;
    bool reported = false;
    bool finished = false;
    std::FILE* file = nullptr;

    void fail(int code)
    {
        const std::lock_guard lock(mutex);
        if (!failed) {
            error = text::format("Cannot write the log file %s: %s", path.c_str(), std::strerror(code));
        }
        failed = true;
        pending.clear();
    }

    void run()
    {
        std::string writing;
        writing.reserve(kMaxPending);
        for (;;) {
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || failed || !pending.empty(); });
                if (pending.empty() || failed) {
                    break;
                }
                writing.swap(pending);
            }
            errno = 0;
            const bool written = std::fwrite(writing.data(), 1, writing.size(), file) == writing.size();
            if (!written || std::fflush(file) != 0) {
                fail(errno != 0 ? errno : EIO);
            }
            writing.clear();
        }
        if (std::fclose(file) != 0) {
            fail(errno);
        }
        const std::lock_guard lock(mutex);
        finished = true;
        wake.notify_all();
    }
};

TerminalLog::TerminalLog() = default;

TerminalLog::~TerminalLog()
{
    stop();
}

bool TerminalLog::start(const std::string& path, Mode mode)
{
    stop();
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        m_error = text::format("Cannot open the log file %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    m_state = std::make_shared<State>();
    m_state->file = file;
    m_state->path = path;
    m_state->pending.reserve(kMaxPending);
    m_mode = mode;
    std::thread([state = m_state] { state->run(); }).detach();
    return true;
}

void TerminalLog::stop()
{
    if (!m_state) {
        return;
    }
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    m_state->wake.notify_all();
    // The writer holds its own share of the state, so giving up the wait leaves it nothing dangling.
    m_state->wake.wait_for(lock, kStopWait, [this] { return m_state->finished; });
    if (m_state->failed && !m_state->reported && m_error.empty()) {
        m_error = m_state->error;
    }
    lock.unlock();
    m_state.reset();
}

void TerminalLog::write(std::string_view bytes)
{
    if (!m_state || bytes.empty()) {
        return;
    }
    const std::lock_guard lock(m_state->mutex);
    if (m_state->failed) {
        return;
    }
    if (m_state->pending.size() + bytes.size() > kMaxPending) {
        m_state->lost += bytes.size();
        return;
    }
    m_state->pending.append(bytes);
    m_state->wake.notify_one();
}

std::string TerminalLog::takeError()
{
    std::string error = std::move(m_error);
    m_error.clear();
    if (!m_state) {
        return error;
    }
    const std::lock_guard lock(m_state->mutex);
    if (!error.empty()) {
        return error;
    }
    if (m_state->failed && !m_state->reported) {
        m_state->reported = true;
        return m_state->error;
    }
    if (m_state->lost > 0) {
        error = text::format("%zu bytes were not logged: the disk is too slow", m_state->lost);
        m_state->lost = 0;
    }
    return error;
}

} // namespace zeb::terminal
