#pragma once

#include "stream/StreamAddress.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::connection {

class BackgroundOpen;

// Keeps the application connection: opens it in the background (the owner's thread never waits
// for the network), notices at once when the far side hangs up, and, when the user asked for it,
// opens it again after a growing pause. Everything but the worker runs on the owner's thread; the
// hooks bring the worker's note and the pauses there.
class ConnectionKeeper
{
public:
    enum class State { Closed, Connecting, Open, Waiting };
    static constexpr std::chrono::milliseconds kFirstPause{1000};
    static constexpr std::chrono::milliseconds kLongestPause{30000};
    static constexpr std::string_view kReconnectKey = "reconnect";

    struct Hooks
    {
        // Runs `task` on the owner's thread soon; called from any thread, never blocks.
        std::function<void(std::function<void()> task)> post;
        // Runs `task` on the owner's thread after `pause`: the reconnect timer.
        std::function<void(std::chrono::milliseconds pause, std::function<void()> task)> schedule;
        // The state changed: title, commands and progress follow.
        std::function<void()> changed;
    };
    using Done = std::function<void(bool opened)>;

    ConnectionKeeper(stream::IOSTStream& connection, Hooks hooks);
    ~ConnectionKeeper();
    ConnectionKeeper(const ConnectionKeeper&) = delete;
    ConnectionKeeper& operator=(const ConnectionKeeper&) = delete;

    // Closes the connection and opens `address` in the background. `done` runs on the owner's
    // thread when the attempt ends, never when it was cancelled.
    void open(const stream::StreamAddress& address, Done done = {});
    // Gives up a pending open or a planned reconnect; the connection stays as it is.
    void cancel();
    // cancel(), then closes the connection.
    void close();
    // The connection told its subscribers it closed. A transport still attached but no longer
    // open means the far side hung up: the dead transport goes, and a reconnect is planned when
    // the settings ask for one.
    void connectionClosed();

    // The user's choice in the connection sheet, kept in the settings.
    static bool reconnectWanted();
    static void setReconnectWanted(bool on);

    State state() const { return m_state; }
    // The address being opened, open, or waited for; empty when closed.
    std::string addressText() const;
    // The pause before the next reconnect: doubles after each failed attempt, up to the longest.
    std::chrono::milliseconds nextPause() const { return m_pause; }

private:
    void begin(const stream::StreamAddress& address, Done done, bool retrying);
    void finish(unsigned attempt);
    void planReconnect();
    void setState(State state);
    bool current(unsigned attempt) const { return attempt == m_attempt && m_state != State::Closed; }

    stream::IOSTStream& m_connection;
    Hooks m_hooks;
    State m_state = State::Closed;
    stream::StreamAddress m_address;
    std::unique_ptr<BackgroundOpen> m_pending;
    Done m_done;
    // The attempt under way is a reconnect: failing, it plans the next one.
    bool m_retrying = false;
    // Counts attempts and cancels: a note or timer of an earlier one is ignored.
    unsigned m_attempt = 0;
    std::chrono::milliseconds m_pause = kFirstPause;
    // Notes posted to the owner's thread check it, so that none runs after the keeper is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace zeb::connection
