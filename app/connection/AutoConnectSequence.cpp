#include "app/connection/AutoConnectSequence.h"

#include "messages/MessageKind.h"
#include "platform/Messaging.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"

#include <algorithm>

namespace zeb::connection {

namespace {

int stepsOf(const AutoConnectRate& rate)
{
    return rate.pingMs > 0 ? rate.waitMs / rate.pingMs : 0;
}

std::chrono::milliseconds atLeastOne(int ms)
{
    return std::chrono::milliseconds(std::max(ms, 1));
}

} // namespace

AutoConnectSequence::AutoConnectSequence(stream::StreamAddress& address, stream::IOSTStream& stream,
                                         Callbacks callbacks, Timing timing)
    : m_address(address)
    , m_stream(stream)
    , m_callbacks(std::move(callbacks))
    , m_timing(std::move(timing))
    , m_total(totalSteps(m_timing.rates))
{
}

AutoConnectSequence::~AutoConnectSequence()
{
    cancel();
}

int AutoConnectSequence::totalSteps(std::span<const AutoConnectRate> rates)
{
    int total = 0;
    for (const AutoConnectRate& rate : rates)
        total += stepsOf(rate);
    return total;
}

void AutoConnectSequence::start()
{
    stopTimers();
    m_row = -1;
    m_succeeded = false;
    m_progress = 0;
    m_result = Cancelled;
    m_running = true;
    reportProgress();
    platform::startTimer(handle(), kNextRateTimer, kStep);
}

void AutoConnectSequence::cancel()
{
    if (!m_running)
        return;
    m_running = false;
    stopTimers();
    stopReceiving();
}

void AutoConnectSequence::onTimer(platform::TimerId id)
{
    if (!m_running)
        return;
    switch (id) {
    case kNextRateTimer:
        nextRate();
        break;
    case kPingTimer:
        if (!m_stream.isOpen() || m_row < 0 || m_row >= static_cast<int>(m_timing.rates.size()))
            break;
        ++m_progress;
        ping();
        platform::startTimer(handle(), kPingTimer, atLeastOne(m_timing.rates[static_cast<std::size_t>(m_row)].pingMs));
        reportProgress();
        break;
    case kSettleTimer:
        platform::stopTimer(handle(), kSettleTimer);
        tryNextRow();
        break;
    default:
        break;
    }
}

void AutoConnectSequence::nextRate()
{
    stopReceiving();
    if (m_succeeded) {
        finish(Answered);
        return;
    }
    // The ping timer of the last rate has nothing more to do; the next rate starts its own.
    platform::stopTimer(handle(), kPingTimer);
    if (!m_stream.isOpen()) {
        tryNextRow();
        return;
    }
    // Closing waits for the receive thread, serving the sends addressed to this thread meanwhile: a
    // message already on its way may arrive here, and is ignored.
    m_closing = true;
    m_stream.close();
    m_closing = false;
    if (!m_running)
        return;
    // The pause lets the line and the receiver settle; it runs as a timer so that this thread goes
    // on serving its windows meanwhile.
    platform::stopTimer(handle(), kNextRateTimer);
    if (m_timing.settle.count() <= 0) {
        tryNextRow();
        return;
    }
    platform::startTimer(handle(), kSettleTimer, m_timing.settle);
}

void AutoConnectSequence::tryNextRow()
{
    ++m_row;
    if (m_row >= static_cast<int>(m_timing.rates.size())) {
        finish(NoAnswer);
        return;
    }
    const AutoConnectRate& rate = m_timing.rates[static_cast<std::size_t>(m_row)];
    m_address.serial.baudRate = rate.baudRate;
    if (m_callbacks.trying)
        m_callbacks.trying(stream::formatStreamAddress(m_address));

    if (m_stream.open(m_address) == stream::StreamStatus::Ok) {
        subscribe();
        ping();
        platform::startTimer(handle(), kNextRateTimer, atLeastOne(rate.waitMs));
        platform::startTimer(handle(), kPingTimer, atLeastOne(rate.pingMs));
    } else {
        m_progress += stepsOf(rate);
        platform::startTimer(handle(), kNextRateTimer, kStep);
    }
    reportProgress();
}

void AutoConnectSequence::subscribe()
{
    // Subscriber nodes stay with the stream until it goes; one node per sequence is enough.
    if (m_stream.windowState(handle()))
        m_stream.setWindowState(handle(), stream::SubscriberState::Enabled);
    else
        m_stream.subscribeWindow(handle(), stream::SubscriberState::Enabled);
}

void AutoConnectSequence::stopReceiving()
{
    if (m_stream.windowState(handle()))
        m_stream.setWindowState(handle(), stream::SubscriberState::Disabled);
}

void AutoConnectSequence::ping()
{
    m_stream.write(kPing, kPingRetries, kPingRetryDelayMs, true);
}

platform::LResult AutoConnectSequence::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    if (message != stream::StreamRegistry::messages().receive || !m_running || m_closing || lParam == 0)
        return 0;
    const stream::StreamEvent& event = stream::eventArgument(lParam);
    const bool answer = event.kind == messages::MessageKind::Telecommand && event.text().starts_with(kAnswerPrefix);
    if (!answer) {
        ping();
        return 0;
    }
    m_succeeded = true;
    finish(Answered);
    return 0;
}

void AutoConnectSequence::finish(int result)
{
    m_running = false;
    stopTimers();
    stopReceiving();
    m_result = result;
    if (m_callbacks.finished)
        m_callbacks.finished(result);
}

void AutoConnectSequence::stopTimers()
{
    platform::stopTimer(handle(), kNextRateTimer);
    platform::stopTimer(handle(), kPingTimer);
    platform::stopTimer(handle(), kSettleTimer);
}

void AutoConnectSequence::reportProgress() const
{
    if (m_callbacks.progress)
        m_callbacks.progress(m_progress, m_total);
}

} // namespace zeb::connection
