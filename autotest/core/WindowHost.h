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
    enum class ButtonChange : std::uint8_t { Create, Show, Hide, Destroy };
    struct ButtonRequest
    {
        std::uint32_t id = 0;
        ButtonChange change = ButtonChange::Create;
    };
    // Button changes waiting for the window; past that a script making buttons in a loop loses
    // its creations (never a destruction).
    static constexpr std::size_t kMaxButtonRequests = 4096;

    struct Request
    {
        std::uint64_t id = 0;
        Kind kind = Kind::Alert;
        std::string text;
    };

    // wake: a request is waiting (called from a script thread). threadDone: a script thread
    // subscribed with `window` has ended. buttonsWaiting: button changes are waiting.
    WindowHost(std::function<void()> wake, std::function<void(std::int64_t window)> threadDone,
               std::function<void()> buttonsWaiting = {});

    // Cancels, then waits (bounded) for the threads still inside a request to leave it: a
    // thread that is not the run's own (a stream's receive thread running a handler) may
    // still be on its way out.
    ~WindowHost() override;
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    void threadDone(std::int64_t window, const script::vm::Value& thread) override;
    void alert(std::string_view text) override;
    void notify(std::string_view text) override;
    bool question(std::string_view text) override;
    // Queued for the window and never waited for (a destruction comes with the script lock held).
    void createButton(std::uint32_t id) override { changeButton(id, ButtonChange::Create); }
    void showButton(std::uint32_t id) override { changeButton(id, ButtonChange::Show); }
    void hideButton(std::uint32_t id) override { changeButton(id, ButtonChange::Hide); }
    void destroyButton(std::uint32_t id) override { changeButton(id, ButtonChange::Destroy); }
    // The button changes in the order they were made (window thread).
    std::deque<ButtonRequest> takeButtonRequests();

    // The oldest request not yet taken (window thread).
    std::optional<Request> next();
    // The answer to a taken request; ignored once it was cancelled.
    void answer(std::uint64_t id, bool yes);
    // Answers every waiting request "No" and refuses new ones until reopen().
    void cancel();
    void reopen();

private:
    bool ask(Kind kind, std::string_view text);
    void changeButton(std::uint32_t id, ButtonChange change);

    std::function<void()> m_wake;
    std::function<void(std::int64_t)> m_threadDone;
    std::function<void()> m_buttonsWaiting;
    std::deque<ButtonRequest> m_buttons;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_cancelled = false;
    int m_inside = 0; // threads inside ask()
    std::uint64_t m_nextId = 1;
    std::deque<Request> m_waiting;
    // Requests taken or waiting, until their answer arrives: id -> answer.
    std::unordered_map<std::uint64_t, std::optional<bool>> m_open;
};

} // namespace zeb::autotest
