#pragma once

#include "platform/MessageTarget.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream {
class IOSTStream;
struct StreamAddress;
} // namespace zeb::stream

namespace zeb::connection {

// One baud rate of the automatic search: how long the rate is given and how often the receiver is
// pinged meanwhile, in milliseconds.
struct AutoConnectRate
{
    std::uint32_t baudRate = 0;
    int waitMs = 0;
    int pingMs = 1;
};

// The rates tried, in this order: the common receiver rates first, the slow and the fastest last.
inline constexpr std::array<AutoConnectRate, 9> kAutoConnectRates{{
    {57600, 2000, 300},
    {300, 4000, 300},
    {1200, 2000, 300},
    {2400, 2000, 300},
    {4800, 2000, 300},
    {9600, 2000, 300},
    {19200, 2000, 300},
    {38400, 2000, 300},
    {115200, 5000, 100},
}};

// The rates of a search and the pause after closing the line; tests shorten them.
struct AutoConnectTiming
{
    std::vector<AutoConnectRate> rates{kAutoConnectRates.begin(), kAutoConnectRates.end()};
    std::chrono::milliseconds settle{500};
};

// Finds the baud rate a receiver on a serial line speaks: opens the line at each rate of the table in
// turn, pings the receiver and stops at the first rate at which the ping answer comes back. The
// caller's address record is changed in place, so it ends with the answering rate, and the stream
// stays open at that rate.
//
// Everything runs on the thread that creates the sequence, driven by its dispatcher: timers step
// through the rates, and the stream's receive thread reaches the sequence by a synchronous
// "ON_STREAM_RECEIVE". No step blocks that thread: the pause after closing the line is a timer too.
// The record and the stream must outlive the sequence.
class AutoConnectSequence final : public platform::MessageTarget
{
public:
    enum Result : int {
        Cancelled = 0,
        Answered = 1,
        NoAnswer = 2,
    };

    static constexpr platform::TimerId kNextRateTimer = 10;
    static constexpr platform::TimerId kPingTimer = 11;
    static constexpr platform::TimerId kSettleTimer = 12;
    static constexpr std::chrono::milliseconds kStep{10};
    static constexpr std::chrono::milliseconds kSettle{500};
    static constexpr std::string_view kPing = "$PKVR,RPC,PING\r\n";
    static constexpr std::string_view kAnswerPrefix = "$PKVR,RPC,PING,";
    static constexpr int kPingRetries = 100;
    static constexpr int kPingRetryDelayMs = 20;

    using Timing = AutoConnectTiming;

    // Called on the sequence's thread. `finished` comes once, when the search ends by itself (not
    // after cancel()); the sequence may not be destroyed from inside a callback.
    struct Callbacks
    {
        std::function<void(int progress, int total)> progress;
        std::function<void(const std::string& address)> trying;
        std::function<void(int result)> finished;
    };

    AutoConnectSequence(stream::StreamAddress& address, stream::IOSTStream& stream, Callbacks callbacks,
                        Timing timing = {});
    ~AutoConnectSequence() override;

    // The progress units of a table: each rate's wait divided by its ping interval (105 for the
    // standard table).
    static int totalSteps(std::span<const AutoConnectRate> rates);

    // Begins the search; the first rate is tried 10 ms later.
    void start();
    // Stops the search where it is. The line may stay open at the rate being tried.
    void cancel();

    int total() const { return m_total; }
    int progress() const { return m_progress; }
    // The row being tried; -1 before the first.
    int row() const { return m_row; }
    bool running() const { return m_running; }
    bool succeeded() const { return m_succeeded; }
    // Cancelled until the search has ended by itself.
    int result() const { return m_result; }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;
    void onTimer(platform::TimerId id) override;

private:
    void nextRate();
    void tryNextRow();
    void subscribe();
    void stopReceiving();
    void ping();
    void finish(int result);
    void stopTimers();
    void reportProgress() const;

    stream::StreamAddress& m_address;
    stream::IOSTStream& m_stream;
    Callbacks m_callbacks;
    Timing m_timing;
    int m_total = 0;
    int m_progress = 0;
    int m_row = -1;
    bool m_running = false;
    bool m_succeeded = false;
    bool m_closing = false;
    int m_result = Cancelled;
};

} // namespace zeb::connection
