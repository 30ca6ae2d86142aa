#include "app/connection/ConnectionKeeper.h"

#include "app/connection/BackgroundOpen.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"

#include <algorithm>
#include <utility>

namespace zeb::connection {

bool ConnectionKeeper::reconnectWanted()
{
    return platform::Settings::current().readInt(platform::Settings::kSection, kReconnectKey, 0) != 0;
}

void ConnectionKeeper::setReconnectWanted(bool on)
{
    platform::Settings::current().writeInt(platform::Settings::kSection, kReconnectKey, on ? 1 : 0);
}

ConnectionKeeper::ConnectionKeeper(stream::IOSTStream& connection, Hooks hooks)
    : m_connection(connection)
    , m_hooks(std::move(hooks))
{
}

ConnectionKeeper::~ConnectionKeeper() = default;

void ConnectionKeeper::open(const stream::StreamAddress& address, Done done)
{
    cancel();
    m_pause = kFirstPause;
    begin(address, std::move(done), false);
}

void ConnectionKeeper::begin(const stream::StreamAddress& address, Done done, bool retrying)
{
    if (m_connection.isOpen())
        m_connection.close();
    m_address = address;
    m_done = std::move(done);
    m_retrying = retrying;
    const unsigned attempt = ++m_attempt;
    std::weak_ptr<bool> alive = m_alive;
    auto post = m_hooks.post;
    setState(State::Connecting);
    m_pending = std::make_unique<BackgroundOpen>(address, [this, alive, post, attempt] {
        post([this, alive, attempt] {
            if (!alive.expired())
                finish(attempt);
        });
    });
}

void ConnectionKeeper::finish(unsigned attempt)
{
    if (!current(attempt) || m_state != State::Connecting || !m_pending || !m_pending->finished())
        return;
    std::unique_ptr<stream::StreamDevice> device = m_pending->take();
    m_pending.reset();
    const bool opened = device && m_connection.attachOpened(std::move(device), m_address) == stream::StreamStatus::Ok;
    Done done = std::exchange(m_done, {});
    if (opened) {
        m_pause = kFirstPause;
        setState(State::Open);
    } else if (m_retrying && reconnectWanted()) {
        // A reconnect that failed: the next one waits longer.
        m_pause = std::min(m_pause * 2, kLongestPause);
        planReconnect();
    } else {
        setState(State::Closed);
    }
    if (done)
        done(opened);
}

void ConnectionKeeper::cancel()
{
    ++m_attempt;
    m_pending.reset();
    m_done = {};
    if (m_state != State::Open)
        setState(State::Closed);
}

void ConnectionKeeper::close()
{
    cancel();
    setState(State::Closed);
    if (m_connection.isOpen())
        m_connection.close();
}

void ConnectionKeeper::connectionClosed()
{
    const stream::StreamDevice* device = m_connection.device();
    if (m_state != State::Open || !device || device->isOpen())
        return;
    // Told inside the connection's own notification: the dead transport goes a little later,
    // unless a new one has come meanwhile.
    std::weak_ptr<bool> alive = m_alive;
    m_hooks.post([this, alive] {
        const stream::StreamDevice* attached = alive.expired() ? nullptr : m_connection.device();
        if (attached && !attached->isOpen() && m_state != State::Open && m_state != State::Connecting)
            m_connection.close();
    });
    if (reconnectWanted())
        planReconnect();
    else
        setState(State::Closed);
}

void ConnectionKeeper::planReconnect()
{
    const unsigned attempt = ++m_attempt;
    setState(State::Waiting);
    std::weak_ptr<bool> alive = m_alive;
    m_hooks.schedule(m_pause, [this, alive, attempt] {
        if (!alive.expired() && current(attempt) && m_state == State::Waiting)
            begin(m_address, {}, true);
    });
}

std::string ConnectionKeeper::addressText() const
{
    return m_state == State::Closed ? std::string() : stream::formatStreamAddress(m_address);
}

void ConnectionKeeper::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (m_hooks.changed)
        m_hooks.changed();
}

} // namespace zeb::connection
