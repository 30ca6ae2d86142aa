// The automatic test window as a run's host: the message boxes a script shows are handed to
// the window's thread, and the script thread waits for the answer.
#pragma once

#include "script/vm/Host.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace zeb::autotest {

// Script threads call the Host side; the window takes requests with next() and answers them.
// Stop and closing the window cancel(): every waiting script thread gets "No" at once and
// later requests are not shown, so no script thread waits on a window that will never answer.
class WindowHost : public script::vm::Host
{
public:
    enum class Kind : std::uint8_t { Alert, Notify, Question };
    struct Request
    {
        std::uint64_t id = 0;
        Kind kind = Kind::Alert;
        std::string text;
    };

    // wake: a request is waiting (called from a script thread). threadDone: a script thread
    // subscribed with `window` has ended.
    WindowHost(std::function<void()> wake, std::function<void(std::int64_t window)> threadDone);

    void threadDone(std::int64_t window, const script::vm::Value& thread) override;
    void alert(std::string_view text) override;
    void notify(std::string_view text) override;
    bool question(std::string_view text) override;

    // The oldest request not yet taken (window thread).
    std::optional<Request> next();
    // The answer to a taken request; ignored once it was cancelled.
    void answer(std::uint64_t id, bool yes);
    // Answers every waiting request "No" and refuses new ones until reopen().
    void cancel();
    void reopen();

private:
    bool ask(Kind kind, std::string_view text);

    std::function<void()> m_wake;
    std::function<void(std::int64_t)> m_threadDone;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_cancelled = false;
    std::uint64_t m_nextId = 1;
    std::deque<Request> m_waiting;
    // Requests taken or waiting, until their answer arrives: id -> answer.
    std::unordered_map<std::uint64_t, std::optional<bool>> m_open;
};

} // namespace zeb::autotest
